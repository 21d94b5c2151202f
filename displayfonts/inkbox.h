#pragma once

class Drawing;

// The rows and columns of a drawing that hold ink, which the display
// formats that trim a glyph to its ink store; empty when none does.
struct InkBox
{
    int top = 0;
    int left = 0;
    int rows = 0;
    int cols = 0;

    bool isEmpty() const { return rows == 0; }

    static InkBox of(const Drawing &bits);
};
