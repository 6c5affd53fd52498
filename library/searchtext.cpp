#include "library/searchtext.h"

#include "model/categorytable.h"
#include "model/textfold.h"

#include <QtAlgorithms>

#include <cstring>
#include <string.h> // memmem

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <utility>
#include <vector>

namespace SearchText {

namespace {

constexpr char Separator = '\x1f';

// Line feeds and separators inside a name must not split or join lines.
void appendField(QByteArray &text, const QString &value)
{
    const qsizetype start = text.size();
    // Most names are plain ASCII: lower case is all their folding needs, without the
    // temporary strings of the general case.
    const qsizetype length = value.size();
    text.resize(start + length);
    char *out = text.data() + start;
    const QChar *in = value.constData();
    qsizetype i = 0;
    for (; i < length; ++i) {
        const char16_t c = in[i].unicode();
        if (c >= 0x80)
            break;
        out[i] = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    if (i < length) {
        text.resize(start);
        text += foldedForSearch(value).toUtf8();
    }
    for (qsizetype k = start; k < text.size(); ++k)
        if (text[k] == '\n' || text[k] == Separator)
            text[k] = ' ';
}

// The lower-case names of the categories, made once.
const QByteArray &categoryText(int category)
{
    static const std::vector<QByteArray> names = [] {
        std::vector<QByteArray> out;
        for (const Category &c : categoryTable)
            out.push_back(QByteArray(c.name).toLower());
        return out;
    }();
    return names[size_t(&categoryFor(category) - categoryTable.data())];
}

inline quint32 trigramBit(uchar a, uchar b, uchar c)
{
    quint32 h = (quint32(a) << 16) | (quint32(b) << 8) | c;
    h *= 0x9E3779B1u;
    return h >> 16; // 0..65535, one bit of the largest filter
}

// The first occurrence of `term` in [from, end), or null. Sixteen places at a time where
// the SIMD unit allows: a place is a candidate only when both the term's first and its last
// byte are where they would be, so the tens of kilobytes of a full file's lines are passed at
// a fraction of a cycle a byte.
const char *find(const char *from, const char *end, const QByteArray &term)
{
    const qsizetype n = term.size();
    if (n == 0)
        return from;
#ifdef __SSE2__
    const __m128i first = _mm_set1_epi8(term.front());
    const __m128i last = _mm_set1_epi8(term.back());
    const char *p = from;
    for (; end - p >= n - 1 + 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 1));
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask) {
            const int bit = qCountTrailingZeroBits(mask);
            if (std::memcmp(p + bit, term.constData(), size_t(n)) == 0)
                return p + bit;
            mask &= mask - 1;
        }
    }
    from = p;
#endif
    return static_cast<const char *>(::memmem(from, size_t(end - from), term.constData(), size_t(n)));
}

bool isFilterSize(qsizetype bytes)
{
    return bytes >= MinFilterBytes && bytes <= MaxFilterBytes && (bytes & (bytes - 1)) == 0;
}

} // namespace

void appendLine(QByteArray &text, const PresetRecord &record)
{
    appendField(text, record.name);
    text += Separator;
    appendField(text, record.author);
    text += Separator;
    text += categoryText(record.category);
    text += '\n';
}

void appendPlainLine(QByteArray &text, QByteArrayView name, QByteArrayView author, int category)
{
    const QByteArray &categoryName = categoryText(category);
    const qsizetype start = text.size();
    text.resize(start + name.size() + author.size() + categoryName.size() + 3);
    char *out = text.data() + start;
    for (QByteArrayView field : {name, author}) {
        for (char c : field)
            *out++ = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        *out++ = Separator;
    }
    std::memcpy(out, categoryName.constData(), size_t(categoryName.size()));
    out[categoryName.size()] = '\n';
}

QByteArray filterOf(const QByteArray &text)
{
    // The full-size filter, its bits counted once they are all set; then folded to the size
    // that count asks for. The three bytes roll through `window`, one load a byte.
    QByteArray full(MaxFilterBytes, '\0');
    auto *bits = reinterpret_cast<uchar *>(full.data());
    const auto *t = reinterpret_cast<const uchar *>(text.constData());
    const qsizetype size = text.size();
    if (size >= 3) {
        quint32 window = (quint32(t[0]) << 8) | t[1];
        for (qsizetype i = 2; i < size; ++i) {
            window = ((window << 8) | t[i]) & 0xFFFFFF;
            const quint32 bit = (window * 0x9E3779B1u) >> 16;
            bits[bit >> 3] |= uchar(1u << (bit & 7));
        }
    }
    qsizetype set = 0;
    for (qsizetype i = 0; i < MaxFilterBytes; i += 8) {
        quint64 word;
        std::memcpy(&word, bits + i, 8);
        set += qPopulationCount(word);
    }
    qsizetype bytes = MinFilterBytes;
    while (bytes < MaxFilterBytes && bytes * 8 < set * 16)
        bytes *= 2;
    if (bytes == MaxFilterBytes)
        return full;
    // Bit b of the full filter becomes bit b mod (8 * bytes): fold the bytes over.
    QByteArray filter(bytes, '\0');
    auto *folded = reinterpret_cast<uchar *>(filter.data());
    for (qsizetype i = 0; i < MaxFilterBytes; ++i)
        folded[i & (bytes - 1)] |= bits[i];
    return filter;
}

QList<QByteArray> terms(const QString &query)
{
    QList<QByteArray> out;
    const QStringList words = foldedForSearch(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &w : words) {
        QByteArray term = w.trimmed().toUtf8();
        // Control characters never occur in a line's text.
        term.replace('\n', "").replace(Separator, "").replace('\t', "");
        if (!term.isEmpty() && !out.contains(term))
            out << term;
    }
    return out;
}

bool mayContain(const QByteArray &filter, const QList<QByteArray> &terms)
{
    if (!isFilterSize(filter.size()))
        return true;
    const quint32 mask = quint32(filter.size()) * 8 - 1;
    const auto *bits = reinterpret_cast<const uchar *>(filter.constData());
    for (const QByteArray &term : terms) {
        const auto *t = reinterpret_cast<const uchar *>(term.constData());
        for (qsizetype i = 0; i + 2 < term.size(); ++i) {
            const quint32 bit = trigramBit(t[i], t[i + 1], t[i + 2]) & mask;
            if (!(bits[bit >> 3] & (1u << (bit & 7))))
                return false;
        }
    }
    return true;
}

std::vector<int> matchingLines(const QByteArray &text, const QList<QByteArray> &terms)
{
    std::vector<int> lines;
    if (terms.isEmpty())
        return lines;
    // The longest term is the rarest: find its occurrences, then check the others in
    // the lines they fall in.
    qsizetype longest = 0;
    for (qsizetype i = 1; i < terms.size(); ++i)
        if (terms[i].size() > terms[longest].size())
            longest = i;
    const QByteArray &lead = terms[longest];
    const char *const begin = text.constData();
    const char *const end = begin + text.size();
    const char *counted = begin; // line index known up to here
    int line = 0;
    const char *pos = begin;
    while (pos < end) {
        const char *hit = find(pos, end, lead);
        if (!hit)
            break;
        const char *lineStart = hit;
        while (lineStart > begin && lineStart[-1] != '\n')
            --lineStart;
        const char *lineEnd = static_cast<const char *>(std::memchr(hit, '\n', size_t(end - hit)));
        if (!lineEnd)
            lineEnd = end;
        for (const char *c = counted; c < lineStart; ++c)
            line += *c == '\n';
        counted = lineStart;
        bool all = true;
        for (qsizetype i = 0; i < terms.size() && all; ++i)
            if (i != longest)
                all = QByteArrayView(lineStart, lineEnd - lineStart).indexOf(terms[i]) >= 0;
        if (all)
            lines.push_back(line);
        pos = lineEnd + 1;
    }
    return lines;
}

bool recordMatches(const QString &name, const QString &author, int category, const QList<QByteArray> &terms)
{
    QByteArray line;
    appendField(line, name);
    line += Separator;
    appendField(line, author);
    line += Separator;
    line += categoryText(category);
    for (const QByteArray &term : terms)
        if (!line.contains(term))
            return false;
    return true;
}

} // namespace SearchText
