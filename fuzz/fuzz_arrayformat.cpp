#include "arrayformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary text read as source arrays, the options taken from the first
// two bytes: the matrix size, the bit order and the first code point. A read
// gives glyphs of exactly that size with code points counting up from the
// first, or one line naming the file.
namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_arrayformat: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    ArrayFormat::Options options;
    options.cols = GlyphSet::kMinSize + data[0] % 14;
    options.rows = GlyphSet::kMinSize + (data[0] >> 4) % 14;
    options.order = BitOrder::all()[data[1] % 3];
    options.firstCodePoint = data[1] >> 2;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const ReadResult result = ArrayFormat::read(text, QStringLiteral("fuzz.c"), options);
    if (!result.ok()) {
        if (!result.error.startsWith(QLatin1String("fuzz.c")) || result.error.contains(u'\n'))
            fail("a refusal that is not one line naming the file");
        return 0;
    }
    const GlyphSet &set = *result.set;
    if (set.cols() != options.cols || set.rows() != options.rows)
        fail("a set of another size than asked for");
    for (qsizetype i = 0; i < set.size(); ++i) {
        if (set.at(i).codePoint != options.firstCodePoint + int(i))
            fail("code points that do not count up from the first");
    }
    return 0;
}
