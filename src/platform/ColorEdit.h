#pragma once
// A colour picker field: a swatch of the selected colour (any colour value,
// system colours included) and a drop-down button. The drop-down is a grid
// of the 40 standard colours in five rows of eight, each named in a hint;
// choosing one closes the grid and selects it. The field takes no typed
// text. Keyboard: Alt+Down, F4 or Space opens the grid; in the grid the
// arrow keys move, Enter or Space chooses, Escape closes without choosing.
#include "platform/Colour.h"

#include <QWidget>

#include <array>

struct StandardColour {
    Colour value;
    const char* name; // UTF-8
};
const std::array<StandardColour, 40>& StandardColours();

class ColorGrid;

class ColorEdit : public QWidget {
    Q_OBJECT
public:
    explicit ColorEdit(QWidget* parent = nullptr);

    Colour SelectedColor() const { return m_selected; }
    void SetSelectedColor(Colour c);

    // Opens the drop-down grid below the field.
    void DropDown();
    // The open grid, or null.
    ColorGrid* Grid() const;

    // Where the drop-down button lies, in field coordinates.
    QRect ButtonRect() const;
    QRect SwatchRect() const;

    QSize sizeHint() const override { return {69, 20}; }

signals:
    void SelectedColorChanged(Colour c);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    Colour m_selected = clBlack;
    ColorGrid* m_grid = nullptr;
};

class ColorGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int Rows = 5, Columns = 8, Cell = 18;

    explicit ColorGrid(QWidget* parent);

    int Current() const { return m_current; }
    void SetCurrent(int index);
    QRect CellRect(int index) const;
    int CellAt(const QPoint& pos) const;

signals:
    void chosen(Colour c);
    void closed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;

private:
    int m_current = 0;
};
