#pragma once

#include "plot/GraphDiagram.h"
#include "plot/GraphModel.h"
#include "plot/GraphRenderer.h"
#include "ui/Dialogs.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace plot {

class RegionPanel;

// The diagram of the Graph window `GraphView`: the kept background with the live layer over it.
// The wheel zooms about the mouse, dragging pans.
class GraphCanvas : public QWidget
{
    Q_OBJECT
public:
    GraphCanvas(GraphViewport& viewport, const GraphModel& model, QWidget* parent);

    // Draws the background again: the view, the diagram or the regions changed.
    void redrawAll();
    // Repaints what the live layer covered and covers now: the model's reading changed.
    void liveChanged();
    // What the view shows, as last drawn.
    const GraphPicture& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    GraphViewport& m_viewport;
    const GraphModel& m_model;
    GraphPicture m_picture;
    std::optional<QPointF> m_dragFrom;
};

// The live chromaticity window "Graphic Display": every frame moves the live marker, with a
// fading trail of the last readings and the frame's reference; a chosen region gives PASS or
// FAIL. It has five region rows of its own in the plot's regions panel, and adds rows from
// colour temperature and Duv limits.
class GraphWindow : public QWidget
{
    Q_OBJECT
public:
    // Placed with its left edge at `placeNextTo`'s right edge, tops aligned, when first shown.
    GraphWindow(ui::Dialogs& dialogs, QWidget* placeNextTo);
    ~GraphWindow() override;

    // Shows the window, or brings it to the front. With no rows of its own it takes the checked
    // rows of `plotRows` (the plot window's, when that is open).
    void open(const RegionRows* plotRows);

    const GraphModel& model() const { return m_model; }
    const GraphViewport& viewport() const { return m_viewport; }

public Q_SLOTS:
    void showReading(const GraphReading& reading);
    void showNoReading();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Its rows, view, chosen region and place as the user left them last time.
    void restoreSettings();
    void rememberSettings() const;
    QWidget* buildControls();
    QWidget* buildReadout();
    void buildLimitsPanel();
    void placePanels();
    void listRegions();
    void chooseRegion(int comboIndex);
    void applyRows();
    void addLimits();
    void setDiagram(Diagram diagram);
    void fit();
    void showTexts();

    ui::Dialogs& m_dialogs;
    QPointer<QWidget> m_placeNextTo;
    bool m_opened = false;
    GraphModel m_model;
    GraphViewport m_viewport;

    GraphCanvas* m_canvas;
    QRadioButton* m_optXY = nullptr;
    QRadioButton* m_optUV = nullptr;
    QComboBox* m_comboRegion = nullptr;
    QLabel* m_lblVerdict = nullptr;
    QLabel* m_lblDeltaUV = nullptr;
    QLabel* m_lblReading = nullptr;
    QLabel* m_lblInside = nullptr;
    RegionPanel* m_regionPanel = nullptr;
    QFrame* m_picLimits = nullptr;
    QLineEdit* m_txtCctFrom = nullptr;
    QLineEdit* m_txtCctTo = nullptr;
    QLineEdit* m_txtDuvFrom = nullptr;
    QLineEdit* m_txtDuvTo = nullptr;
};

} // namespace plot
