#pragma once

#include <QString>
#include <QStringList>

// The help window's page of usage notes, one short paragraph for each area of
// the main window.
namespace HelpText {

// The page's lines in order. Two of them end in a blank, kept as written.
QStringList lines();

// The lines joined by CR LF, with no break after the last one.
QString text();

} // namespace HelpText
