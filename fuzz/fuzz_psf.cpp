#include "fontfile.h"
#include "psfformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary bytes read as a PSF font, and unpacked as gzip with a small limit
// (and what that gives read as a PSF font too). A read gives a set that fits
// the matrix, or one line naming the file and a byte inside it; unpacking
// gives at most the limit, or a reason and nothing.
namespace {

constexpr qint64 kUnpackLimit = 256 * 1024;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_psf: %s\n", what);
    std::abort();
}

void check(const ReadResult &result, qsizetype size)
{
    if (!result.ok()) {
        const QString prefix = QStringLiteral("fuzz.psf: byte ");
        if (!result.error.startsWith(prefix) || result.error.contains(u'\n'))
            fail("a refusal that is not one line naming the file and a byte");
        bool number = false;
        const qint64 offset = result.error.mid(prefix.size()).section(u':', 0, 0).toLongLong(&number);
        if (!number || offset < 0 || offset > size)
            fail("a refusal at a byte outside the file");
        return;
    }
    if (!result.error.isEmpty())
        fail("a set that came with a message");
    const GlyphSet &set = *result.set;
    if (set.isEmpty() || set.cols() < GlyphSet::kMinSize || set.cols() > GlyphSet::kMaxSize
        || set.rows() < GlyphSet::kMinSize || set.rows() > GlyphSet::kMaxSize)
        fail("an empty set, or one of a size outside 3 to 16");
    if (set.ascent < 1 || set.ascent > set.rows())
        fail("a baseline outside the matrix");
    for (const Glyph &glyph : set.glyphs()) {
        if (glyph.bits.rows() != set.rows() || glyph.bits.cols() != set.cols())
            fail("a glyph of another size than its set");
        if (glyph.codePoint != Glyph::kNoCodePoint
            && (glyph.codePoint < 0 || glyph.codePoint > 0x10FFFF
                || (glyph.codePoint >= 0xD800 && glyph.codePoint <= 0xDFFF)))
            fail("a code point that is no character");
        if (glyph.name.isEmpty())
            fail("a glyph without a name");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    check(PsfFormat::read(bytes, QStringLiteral("fuzz.psf")), bytes.size());

    QByteArray unpacked;
    QString what;
    if (FontFile::gunzip(bytes, kUnpackLimit, &unpacked, &what)) {
        if (unpacked.size() > kUnpackLimit)
            fail("unpacked past the limit");
        check(PsfFormat::read(unpacked, QStringLiteral("fuzz.psf")), unpacked.size());
    } else if (what.isEmpty() || !unpacked.isEmpty()) {
        fail("a failed unpacking without a reason, or with output left");
    }
    return 0;
}
