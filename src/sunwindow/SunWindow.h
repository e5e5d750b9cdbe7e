// The annual sun-times window "sun": airport and year lists, information panel, table and graph.
#pragma once

#include "desktop/HoverButtons.h"
#include "sun/SunYearTable.h"
#include "sunwindow/PrinterSelect.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTableWidget;
class SunGraph;

class SunWindow final : public QDialog
{
    Q_OBJECT

public:
    /// Builds the window for today's date (SunClock) with no airport chosen.
    explicit SunWindow(QWidget *owner = nullptr);

    bool activated() const { return m_activated; }
    bool graphStale() const { return m_graphStale; }
    bool leapYear() const { return m_leapYear; }
    int hoverIndex() const { return m_hover.hovered(); }
    /// The year's grid as MakeYearTable built it: what the table shows, the graph draws and
    /// the printout prints.
    const SunGrid &yearGrid() const { return m_year; }
    const QString &airportIcao() const { return m_airportIcao; }

protected:
    void showEvent(QShowEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void cmb_Click(int index);
    void cmd_Click(int index);
    void cmd_MouseMove(int index);
    void Form_MouseMove();
    void SSTab_Click(int tab);

    void SetupGrid();
    void MakeYearTable();
    void DrawGraph();
    bool PrintTable(QPrinter &printer);
    void printChosenTab();
    void print(const PrintTarget &target);
    void setMonthHeadersVisible(bool visible);
    /// Keeps the tab contents at their twip positions relative to the tab strip's corner.
    void placeTabContents();
    bool thisYearShown() const;

    /// The information panel.
    struct Panel
    {
        QLabel *indicator = nullptr;
        QLabel *latitude = nullptr;
        QLabel *longitude = nullptr;
        QLabel *elevation = nullptr;
        QLabel *eyeHeight = nullptr;
        QLabel *heightDifference = nullptr;
    } m_panel;
    QComboBox *m_cmb[2] = {};
    QPushButton *m_cmd[2] = {};
    QFrame *m_frame = nullptr;
    QTabWidget *m_tab = nullptr;
    QWidget *m_tabArea[2] = {};
    QTableWidget *m_grid = nullptr;
    QFrame *m_frame1[12] = {};
    QLabel *m_label1[12] = {};
    SunGraph *m_graph = nullptr;

    QDate m_today;
    QString m_airportIcao;
    float m_airportElev = 0;
    float m_latitude = 0;
    float m_longitude = 0;
    QString m_latText;
    QString m_lonText;
    bool m_leapYear = false;
    bool m_graphStale = false;
    bool m_activated = false;
    HoverButtons m_hover{99, 99};
    SunGrid m_year;
};
