#include "helptext.h"

namespace HelpText {

QStringList lines()
{
    return {
        QStringLiteral("SETTINGS: From the drop down box select"),
        QStringLiteral("the vertical and horizontal size."),
        QStringLiteral("DISPLAY: Shows a miniature of the image."),
        QStringLiteral("INVERT: Switches the background and foreground colors"),
        QStringLiteral("This does not invert the hex values."),
        QStringLiteral("MATRIX: Selects how the hex values are derived. Vertical "),
        QStringLiteral("starts at the top (LSB) and move down the column (MSB)"),
        QStringLiteral("Horizontal starts at left (LSB) and moves to the right (MSB)"),
        QStringLiteral("FORMAT: Allows you to enter a prefix for the bytes and a "),
        QStringLiteral("separation delimiter."),
        QStringLiteral("EDITABLE TEXT: This is the output area and can be edited."),
        QStringLiteral("It can then be saved to the Windows' clipboard for pasting"),
        QStringLiteral("GRID: After you have created your character press 'Copy to Text'"),
        QStringLiteral("which will add the hex output to the text area"),
    };
}

QString text()
{
    return lines().join(QStringLiteral("\r\n"));
}

} // namespace HelpText
