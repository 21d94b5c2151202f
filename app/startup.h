#pragma once

// What the program does before it creates its first window.
namespace Startup {

// The application's name: the title of its messages, the name under which
// the settings store files the placement, and the prefix of its warnings.
inline constexpr char kApplicationName[] = "KELVOR";

// Names the application (the settings store files the placement under this
// name), gives it its version, and sets the one icon and default font of all
// its windows, so that no control is first made with another font.
void setUpApplication();

} // namespace Startup
