// The two airport grids of the settings window and the buttons that edit the target list.
#pragma once

#include "desktop/HoverButtons.h"
#include "store/SettingsStore.h"

#include <QFrame>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>
#include <array>

/// Known airports on the left, targets on the right, add / delete / up / down between them.
/// Edits stay in the grids until the settings window saves `targets()`.
class TargetList final : public QWidget
{
    Q_OBJECT
public:
    enum Grid { Known = 0, Targets = 1 };
    enum Button { Add = 2, Delete = 3, MoveUp = 4, MoveDown = 5 };
    static constexpr int rowHeightTwips = 225;
    /// The room a grid is given: 23 rows of the nominal height and its frame.
    static constexpr int gridHeightTwips = 23 * rowHeightTwips + 30;
    static constexpr int noButton = 99;

    explicit TargetList(QWidget *parent = nullptr);

    /// Fills both grids from the store and places the cover panels.
    void load(SettingsStore &store);
    /// The target rows in display order; a row is checked exactly when it holds "*".
    QList<TargetAirport> targets() const;
    bool listChanged() const { return m_listChanged; }
    void setListChanged(bool changed) { m_listChanged = changed; }
    bool anyMarked() const;

    QTableWidget *grid(int index) const { return m_grid[index]; }
    QToolButton *cmd(int index) const { return m_cmd[index - Add]; }
    QFrame *Frame1(int index) const { return m_frame[index]; }
    int hoveredButton() const { return m_hover.hovered(); }

    // The grids' and buttons' events; public so tests can drive them directly.
    void grid_MouseDown(int index);
    void grid_DblClick(int index);
    void grid_Scroll(int index);
    void cmd_Click(int index);
    void cmd_MouseMove(int index);
    void Form_MouseMove();

signals:
    /// The slide controls of the settings window become usable (true) or not.
    void slideControlsUsable(bool usable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void appendTarget(const QString &code, bool marked);
    void setMark(int row, bool marked);
    void select(int grid, int row);
    void placeKnownPanel();
    void placeTargetPanel(bool keepWidth = false);
    void updateMoveButtons(int row);
    void fitGridHeights();
    /// A keyboard move of a grid's current cell selects like a click.
    void followKeyboard(int index);
    int gridTopTwips(int index) const;
    int gridBottomTwips(int index) const;
    /// The target panel over the empty strip below the last row, beside the scroll bar.
    void placeEndPanel();
    int rowHeightOf(int index) const;

    std::array<QTableWidget *, 2> m_grid{};
    std::array<QToolButton *, 4> m_cmd{};
    std::array<QFrame *, 2> m_frame{};
    int m_selectedTarget = -1;
    HoverButtons m_hover{noButton, 0};
    bool m_selecting = false; ///< the program, not the user, moves a current cell
    /// Rows each grid shows whole, as drawn; part of one more row below them is left empty.
    std::array<int, 2> m_wholeRows{22, 22};
    bool m_listChanged = false;
};
