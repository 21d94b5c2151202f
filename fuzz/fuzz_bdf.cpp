#include "bdfformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary bytes as a BDF file. Whatever they are, reading gives a set or
// one message naming the file and a line, as the scan foretells; a set that
// was read saves to a file that reads back to the same glyphs and saves to
// the same bytes.
namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_bdf: %s\n", what);
        std::abort();
    }
}

// The output settings as a file can keep them: a line holds no control
// character but the tab.
std::optional<ExportOptions> storable(std::optional<ExportOptions> options)
{
    const auto blanked = [](QString text) {
        for (QChar &c : text) {
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F)
                c = QLatin1Char(' ');
        }
        return text;
    };
    if (options) {
        options->prefix = blanked(options->prefix);
        options->delimiter = blanked(options->delimiter);
    }
    return options;
}

bool sameGlyphs(const GlyphSet &a, const GlyphSet &b)
{
    if (a.cols() != b.cols() || a.rows() != b.rows() || a.size() != b.size() || a.ascent != b.ascent
        || a.xOffset != b.xOffset || storable(a.exportOptions) != b.exportOptions)
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const Glyph &x = a.at(i);
        const Glyph &y = b.at(i);
        if (x.codePoint != y.codePoint || !(x.bits == y.bits))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString fileName = QStringLiteral("fuzz.bdf");
    const ReadResult result = BdfFormat::read(bytes, fileName);
    // The scan foresees the read: a font it says fits opens, and one too
    // large opens for the glyphs it offers.
    const BdfFormat::Scan scan = BdfFormat::scan(bytes, fileName);
    const BdfFormat::Fit whole = BdfFormat::fit(scan);
    if (!result.ok()) {
        check(result.error.startsWith(QStringLiteral("fuzz.bdf: line ")), "an error that names no line");
        check(!result.error.contains(QLatin1Char('\n')), "an error of more than one line");
        check(scan.ok() ? !whole.fits() : scan.error == result.error, "a scan that disagrees with the read");
        if (scan.ok()) {
            const BdfFormat::Options subset{BdfFormat::defaultSubset(scan)};
            const ReadResult taken = BdfFormat::read(bytes, fileName, subset);
            const BdfFormat::Fit fit = BdfFormat::fit(scan, subset);
            check(taken.ok() && fit.fits(), "a default subset that does not open");
            check(fit.glyphs == taken.set->size() && fit.cols == taken.set->cols() && fit.rows == taken.set->rows(),
                  "a subset whose fit is not what opens");
        }
        return 0;
    }
    const GlyphSet &set = *result.set;
    check(scan.ok() && whole.fits() && whole.glyphs == set.size() && whole.cols == set.cols() && whole.rows == set.rows(),
          "a font that opens but whose scan does not fit");
    check(set.cols() >= GlyphSet::kMinSize && set.cols() <= GlyphSet::kMaxSize && set.rows() >= GlyphSet::kMinSize
                  && set.rows() <= GlyphSet::kMaxSize,
          "a matrix size out of range");
    const QByteArray saved = BdfFormat::write(set);
    const ReadResult reopened = BdfFormat::read(saved, fileName);
    check(reopened.ok(), "a saved set that does not read back");
    check(sameGlyphs(set, *reopened.set), "a saved set that reads back to other glyphs");
    check(BdfFormat::write(*reopened.set) == saved, "a reopened set that saves to other bytes");
    return 0;
}
