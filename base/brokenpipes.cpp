#include "base/brokenpipes.h"

#include <csignal>

namespace BrokenPipes {

void reportInsteadOfDying()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

} // namespace BrokenPipes
