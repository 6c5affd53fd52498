// The library exists to carry the embedded resources; this unit keeps it non-empty.
namespace orvex_resources_anchor {
int anchor = 0;
}
