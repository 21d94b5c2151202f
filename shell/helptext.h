#pragma once

#include <QString>
#include <QStringList>

// The help window's page of usage notes, one short paragraph for each area of
// the main window.
namespace HelpText {

// The page's lines in order. Lines 6 and 9 end in a blank.
QStringList lines();

// The lines joined by CR LF, with no break after the last one.
QString text();

} // namespace HelpText
