#include "csourcereader.h"
#include "exportchoices.h"
#include "firmwaresource.h"
#include "firmwaretext.h"
#include "fontexport.h"

#include <QSet>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The GFX, pages, C header, OLED, LVGL and LED-matrix readers on whatever the C reader makes of
// arbitrary bytes. Each font a format finds reads as a set or is refused
// with a message, never read out of bounds; a set counts the glyphs its
// listing counts; a font opened in part, written whole, reads back whole;
// and a set read back exports as it asks, and that export read back
// exports to the same text again.
namespace {

[[noreturn]] void fail(const char *format, const char *what)
{
    std::fprintf(stderr, "fuzz_gfxreader: %s: %s\n", format, what);
    std::abort();
}

// A font opened in part is kept whole: written back in its own form with
// the glyphs left out, it reads again as the same number of glyphs.
void checkWhole(const char *name, const ReadResult &read)
{
    if (!read.leftOut || !read.bdfSource)
        fail(name, "a font opened in part is not kept whole");
    FontExport::Options options = storedOptions(*read.set);
    options.leftOut = read.leftOut;
    const FontExport::Result whole = FontExport::write(*read.set, options);
    if (!whole.ok())
        return;
    const ReadResult again = FirmwareSource::read(whole.text.toUtf8(), QStringLiteral("whole.h"));
    if (!again.ok() || again.fontGlyphs != read.fontGlyphs)
        fail(name, "a font written whole reads back as other glyphs");
}

void check(FontExport::Format format, const CSourceReader::Source &source)
{
    const char *name = FontExport::name(format).data();
    const FontExport::Reader reader = FontExport::readerOf(format);
    QSet<QString> seen;
    for (const FirmwareSource::Font &font : reader.find(source)) {
        // A name declared twice, which no compiler takes, is read as its first.
        if (seen.contains(font.name))
            continue;
        seen.insert(font.name);
        const ReadResult read = reader.read(source, font, QStringLiteral("fuzz.h"));
        if (!read.ok()) {
            if (read.error.isEmpty())
                fail(name, "refused without a message");
            continue;
        }
        const qsizetype glyphs = read.fontGlyphs ? read.fontGlyphs : read.set->size();
        if (format != FontExport::Format::C && glyphs != font.glyphs)
            fail(name, "the set's glyphs are not those the listing counts");
        if (read.fontGlyphs > 0)
            checkWhole(name, read);
        const FontExport::Result exported = FontExport::write(*read.set, storedOptions(*read.set));
        if (!exported.ok())
            continue;
        const ReadResult again = FirmwareSource::read(exported.text.toUtf8(), QStringLiteral("again.h"));
        if (!again.ok())
            fail(name, "its own export does not read back");
        if (FontExport::write(*again.set, storedOptions(*again.set)).text != exported.text)
            fail(name, "its own export read back exports to other text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const CSourceReader::Source source
            = CSourceReader::read(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!source.ok())
        return 0;
    for (const FontExport::Format format : {FontExport::Format::Gfx, FontExport::Format::Pages, FontExport::Format::C,
                                            FontExport::Format::Oled, FontExport::Format::Lvgl,
                                            FontExport::Format::Max72xx})
        check(format, source);
    return 0;
}
