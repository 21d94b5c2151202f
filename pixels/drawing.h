#pragma once

#include <QtGlobal>

#include <array>

// A drawing apart from any grid: which cells of a matrix of up to kMaxSize
// by kMaxSize are set. The editor reads one from Grid1, computes another from
// it (a shift, a mirror image, a rotation, or bytes read back) and draws that.
class Drawing
{
public:
    // The matrix sizes the program offers, in columns and in rows alike.
    static constexpr int kMinSize = 3;
    static constexpr int kMaxSize = 16;

    Drawing(int rows, int cols);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // Inline: whole fonts are read and written cell by cell.
    bool isSet(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols && (m_bits[size_t(row)] >> col & 1u);
    }
    void set(int row, int col, bool on = true)
    {
        if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
            return;
        const quint16 bit = quint16(1u << col);
        m_bits[size_t(row)] = on ? quint16(m_bits[size_t(row)] | bit) : quint16(m_bits[size_t(row)] & ~bit);
    }

    // A whole row at once, bit c for column c: whole fonts are read and
    // exported row by row. Outside the drawing a row is clear; bits beyond
    // the columns are dropped.
    quint16 rowBits(int row) const { return row >= 0 && row < m_rows ? m_bits[size_t(row)] : 0; }
    void setRowBits(int row, quint32 bits)
    {
        if (row >= 0 && row < m_rows)
            m_bits[size_t(row)] = quint16(bits & ((1u << m_cols) - 1));
    }

    // A row's 16 bits in the opposite order: bit 0 becomes bit 15.
    static constexpr quint16 reversed(quint16 row)
    {
        quint32 bits = row;
        bits = (bits >> 1 & 0x5555u) | (bits & 0x5555u) << 1;
        bits = (bits >> 2 & 0x3333u) | (bits & 0x3333u) << 2;
        bits = (bits >> 4 & 0x0F0Fu) | (bits & 0x0F0Fu) << 4;
        bits = (bits >> 8 & 0x00FFu) | (bits & 0x00FFu) << 8;
        return quint16(bits);
    }

    // Moved by whole cells: what is pushed past an edge is dropped, and the
    // cells that come in are clear.
    Drawing shifted(int rowStep, int colStep) const;
    Drawing mirroredLeftRight() const;
    Drawing mirroredTopBottom() const;
    // A quarter turn; the matrix becomes cols() high and rows() wide.
    Drawing rotatedClockwise() const;
    Drawing rotatedCounterClockwise() const;

    bool operator==(const Drawing &other) const
    {
        return m_rows == other.m_rows && m_cols == other.m_cols && m_bits == other.m_bits;
    }

private:
    template <typename Source>
    Drawing mapped(int rows, int cols, Source source) const;

    int m_rows;
    int m_cols;
    std::array<quint16, kMaxSize> m_bits{}; // one row each, bit c for column c
};
