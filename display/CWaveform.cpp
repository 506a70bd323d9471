#include "display/CWaveform.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CursorMarkerPicture.h"
#include "display/TPaintBox.h"
#include "display/WCursor.h"
#include "display/WaveformNavigation.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

// Calls back when the watched panel changes its size.
class ResizeHook : public QObject
{
public:
    explicit ResizeHook(std::function<void()> fn)
        : callback(std::move(fn))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            callback();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> callback;
};

QFrame *NewPanel(QWidget *parent, const char *name)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

} // namespace

CWaveform::CWaveform(const WSystem &system, CFile &settings, CCaptureRecord &record,
                     QWidget *panelLy0, QMenu *popup)
    : CWaveformDrawing(system, settings, record)
{
    Graphics_Device &d = Device;
    auto *outer = new QHBoxLayout(panelLy0);
    outer->setContentsMargins(0, 0, 0, 0);
    d.AreaPanel = NewPanel(panelLy0, "AreaPanel");
    outer->addWidget(d.AreaPanel);

    auto *area = new QHBoxLayout(d.AreaPanel);
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    area->addLayout(column, 1);

    d.VScrollBar = new QScrollBar(Qt::Vertical, d.AreaPanel);
    d.VScrollBar->setObjectName(QStringLiteral("V_Waveform_ScrollBar"));
    d.VScrollBar->setFixedWidth(ScrollBarWidth);
    d.VScrollBar->setPageStep(VerticalLargeChange);
    d.VScrollBar->setSingleStep(VerticalSmallChange);
    d.VScrollBar->setRange(0, 0);
    area->addWidget(d.VScrollBar);

    d.RulerPanel = NewPanel(d.AreaPanel, "RulerPanel");
    d.RulerPanel->setFixedHeight(RulerPanelHeight);
    d.RulerImage = new TPaintBox(d.RulerPanel, "RulerImage");
    d.RulerImage->setGeometry(0, 0, RulerWidth, RulerHeight);
    d.RulerImage->SetBitmap(&RulerImage);
    column->addWidget(d.RulerPanel);

    d.PlotPanel = NewPanel(d.AreaPanel, "PlotPanel");
    d.PlotPanel->setAutoFillBackground(true);
    QPalette black = d.PlotPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    d.PlotPanel->setPalette(black);
    column->addWidget(d.PlotPanel, 1);

    d.PaintBox = new TPaintBox(d.PlotPanel, "PaintBox");
    d.PaintBox->setGeometry(0, 0, LayerWidth, DefaultLayerHeight);
    d.PaintBox->SetBitmap(&DisplayLayer);
    d.PaintBox->OnMouseDown = [this](QMouseEvent *e) { MouseDown(e); };
    d.PaintBox->OnMouseMove = [this](QMouseEvent *e) { MouseMove(e); };
    d.PaintBox->OnMouseUp = [this](QMouseEvent *e) { MouseUp(e); };
    if (popup) {
        d.PaintBox->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(
            d.PaintBox, &QWidget::customContextMenuRequested, popup,
            [popup, box = d.PaintBox](const QPoint &p) { popup->popup(box->mapToGlobal(p)); });
    }

    d.HScrollBar = new QScrollBar(Qt::Horizontal, d.PlotPanel);
    d.HScrollBar->setObjectName(QStringLiteral("H_Waveform_ScrollBar"));
    d.HScrollBar->setRange(0, 0);

    resizeHook = std::make_unique<ResizeHook>([this] { PanelResized(); });
    d.PlotPanel->installEventFilter(resizeHook.get());
    PanelResized();
}

CWaveform::~CWaveform()
{
    // The controls belong to the main window's panel; they may outlive the
    // view for a moment while the window is torn down.
    if (Device.PlotPanel)
        Device.PlotPanel->removeEventFilter(resizeHook.get());
    if (Device.PaintBox)
        Device.PaintBox->SetBitmap(nullptr);
    if (Device.RulerImage)
        Device.RulerImage->SetBitmap(nullptr);
}

void CWaveform::PanelResized()
{
    QFrame *plot = Device.PlotPanel;
    const int barHeight = Device.HScrollBar->sizeHint().height();
    Device.HScrollBar->setGeometry(0, plot->height() - barHeight, plot->width(), barHeight);
    Device.HScrollBar->raise();
    PanelWidth = std::min(plot->width(), LayerWidth);
    PanelHeight = std::min(plot->height(), DefaultLayerHeight);
}

std::vector<CWaveformDrawing::ListRow> CWaveform::ListRowsOfGrid() const
{
    std::vector<ListRow> rows;
    if (NameGrid == nullptr)
        return rows;
    const size_t listed = ListedRows().size();
    int top = 0;
    for (int i = 0; i < NameGrid->rowCount() && rows.size() < listed; ++i) {
        const QTableWidgetItem *item = NameGrid->item(i, 1);
        bool ok = false;
        const int row = item ? item->text().toInt(&ok) : 0;
        const int height = NameGrid->rowHeight(i);
        if (!ok)
            break;
        rows.push_back(ListRow{row, top, height});
        top += height;
    }
    return rows;
}

void CWaveform::Redraw()
{
    const std::vector<ListRow> rows = ListRowsOfGrid();
    DrawLayers(rows, Cursors);
    SyncScrollPosition();
    PlaceMarkers();
    Device.RulerImage->update();
    Device.PaintBox->update();
}

void CWaveform::SetScrollRange()
{
    QScrollBar *bar = Device.HScrollBar;
    const QSignalBlocker quiet(bar);
    UpdateTimeBase();
    const ScrollRange r = ScrollRangeOf();
    scrollRange = r;
    bar->setValue(0);
    bar->setRange(r.Min, std::max(r.Min, r.Max - r.PageSize + 1));
    // An arrow moves one division, a click in the trough one screen.
    const WaveformNavigation::Steps steps = WaveformNavigation::ScrollSteps(*this);
    bar->setSingleStep(steps.Arrow);
    bar->setPageStep(steps.Page);
}

void CWaveform::SyncScrollPosition()
{
    QScrollBar *bar = Device.HScrollBar;
    const QSignalBlocker quiet(bar);
    bar->setValue(std::clamp(ScrollPositionOf(scrollRange), bar->minimum(), bar->maximum()));
}

void CWaveform::RefreshRows()
{
    CWaveformCore::RefreshRows();
    if (NameGrid == nullptr || PatternGrid == nullptr)
        return;
    const std::span<const uint8_t> listed = ListedRows();
    const int count = std::max<int>(1, static_cast<int>(listed.size()));
    NameGrid->setRowCount(count);
    PatternGrid->setRowCount(count);
    for (int i = 0; i < count; ++i) {
        const QString number = i < static_cast<int>(listed.size())
                                   ? QString::number(listed[static_cast<size_t>(i)])
                                   : QString();
        auto *item = NameGrid->item(i, 1);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            NameGrid->setItem(i, 1, item);
        }
        item->setText(number);
    }
    LayoutRows();
    PaintRowLabels();
}

void CWaveform::PaintRowLabels()
{
    if (NameGrid == nullptr || PatternGrid == nullptr)
        return;
    WRowLabels labels(*this, LabelTexts);
    const std::span<const uint8_t> listed = labels.Rows();
    if (listed.empty())
        return;
    if (NameGrid->rowCount() < static_cast<int>(listed.size())) {
        NameGrid->setRowCount(static_cast<int>(listed.size()));
        PatternGrid->setRowCount(static_cast<int>(listed.size()));
    }
    auto set = [](QTableWidget *grid, int r, const std::string &text) {
        auto *item = grid->item(r, 0);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            grid->setItem(r, 0, item);
        }
        item->setText(QString::fromStdString(text));
    };
    std::string pulseText;
    for (size_t i = 0; i < listed.size(); ++i) {
        const int r = static_cast<int>(i);
        const int row = listed[i];
        const std::string trigger = labels.TriggerText(row);
        if (Settings.TriggerType == WRowLabels::PulseWidthType && !trigger.empty())
            pulseText = trigger;
        set(NameGrid, r, labels.Name(row));
        set(PatternGrid, r, trigger);
    }
    if (ChannelPanel && NamePanel && !pulseText.empty()) {
        const int wanted = WRowLabels::ChannelPanelWidth(FontSize, pulseText, NamePanel->width());
        ChannelPanel->setFixedWidth(std::max(ChannelPanel->width(), wanted));
    }
}

void CWaveform::LayoutRows()
{
    if (NameGrid == nullptr)
        return;
    int sum = 0;
    for (int i = 0; i < NameGrid->rowCount(); ++i) {
        const int h = std::max(NameGrid->rowHeight(i), MinRowHeight);
        NameGrid->setRowHeight(i, h);
        if (PatternGrid && i < PatternGrid->rowCount())
            PatternGrid->setRowHeight(i, h);
        sum += h;
    }
    QScrollBar *bar = Device.VScrollBar;
    const int maximum = std::max(sum, Device.PlotPanel->height()) + VerticalSlack;
    bar->setPageStep(1);
    bar->setRange(0, maximum);
}

void CWaveform::SetVerticalOffset(int offset)
{
    VerticalOffset = offset;
    UpdateTimeBase();
    Redraw();
}

void CWaveform::SetHandShift(bool on)
{
    HandShift = on;
    drag.Dragging = false;
    if (on)
        Device.PaintBox->setCursor(HandCursor);
    else
        Device.PaintBox->unsetCursor();
}

void CWaveform::MouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    drag.Dragging = true;
    drag.StartX = static_cast<int>(event->position().x());
    drag.StartY = static_cast<int>(event->position().y());
    drag.VerticalPosition = Device.VScrollBar->value();
    drag.HorizontalPosition = Device.HScrollBar->value();
    drag.View = ViewPosition;
    if (HandShift)
        Device.PaintBox->setCursor(Qt::ClosedHandCursor);
}

void CWaveform::MouseMove(QMouseEvent *event)
{
    if (!drag.Dragging || !HandShift)
        return;
    const int x = static_cast<int>(event->position().x());
    // Dragging the picture to the left shows later times.
    WTime d = TimeMul(TimePerPixel, static_cast<uint32_t>(std::abs(x - drag.StartX)));
    d.sign = (x <= drag.StartX) ? 1 : 0;
    if (d.IsZero())
        d.sign = 1;
    SetViewPosition(SignedAdd(drag.View, d));
    if (OnViewMoved)
        OnViewMoved();
    Redraw();
}

void CWaveform::MouseUp(QMouseEvent *)
{
    drag.Dragging = false;
    if (HandShift)
        Device.PaintBox->setCursor(HandCursor);
}

// --- Cursor markers ----------------------------------------------------------

TPaintBox *CWaveform::MarkerOf(char name) const
{
    const auto it = markers.find(name);
    return it == markers.end() ? nullptr : it->second.Control;
}

void CWaveform::PlaceMarkers()
{
    if (Cursors == nullptr)
        return;
    std::vector<const WCursor::Cursor *> all{&Cursors->TriggerCursor()};
    for (const WCursor::Cursor &c : Cursors->Cursors())
        all.push_back(&c);
    // Markers whose cursor is gone.
    for (auto it = markers.begin(); it != markers.end();) {
        const bool alive = std::any_of(all.begin(), all.end(),
                                       [&](const auto *c) { return c->Name == it->first; });
        if (alive) {
            ++it;
            continue;
        }
        delete it->second.Control;
        it = markers.erase(it);
    }
    for (const WCursor::Cursor *c : all) {
        Marker &m = markers[c->Name];
        if (m.Control == nullptr || m.Colour != c->Colour) {
            if (m.Control == nullptr) {
                const std::string name = std::string("Marker_") + c->Name;
                m.Control = new TPaintBox(Device.RulerPanel, name.c_str());
                if (!c->IsTrigger()) {
                    const char letter = c->Name;
                    m.Control->OnMouseDown = [this, letter](QMouseEvent *e) {
                        MarkerPressed(letter, e);
                    };
                    m.Control->OnContextMenu = [this, letter](QMouseEvent *e) {
                        MarkerPressed(letter, e);
                    };
                    m.Control->OnMouseMove = [this](QMouseEvent *e) {
                        if (Cursors->Dragging)
                            DragMarker(static_cast<int>(e->position().x()));
                    };
                    m.Control->OnMouseUp = [this](QMouseEvent *) {
                        Cursors->Dragging = false;
                        if (OnDragTimers)
                            OnDragTimers(CursorMarkers::Timer::Stop, CursorMarkers::Timer::Stop);
                        if (OnCursorsChanged)
                            OnCursorsChanged();
                    };
                }
            }
            m.Colour = c->Colour;
            m.Control->SetPicture(CursorMarkerPicture::RulerMarker(c->Name, c->Colour),
                                  CursorMarkerPicture::TransparentColour);
            m.Control->show();
        }
        const int top = c->IsTrigger() ? WCursor::TriggerMarkerTop : WCursor::UserMarkerTop;
        m.Control->move(c->MarkerLeft, top);
    }
    // The selected cursor's marker lies on top.
    if (const WCursor::Cursor *selected = Cursors->Selected())
        if (TPaintBox *box = MarkerOf(selected->Name))
            box->raise();
}

void CWaveform::MarkerPressed(char name, QMouseEvent *event)
{
    if (Cursors == nullptr || !Cursors->Select(name))
        return;
    if (TPaintBox *box = MarkerOf(name))
        box->raise();
    if (event->button() == Qt::LeftButton)
        Cursors->Dragging = true;
    Redraw();
    if (OnCursorsChanged)
        OnCursorsChanged();
    if (event->button() == Qt::RightButton && CursorPopup)
        CursorPopup->popup(event->globalPosition().toPoint());
}

void CWaveform::DragMarker(int x)
{
    WCursor::Cursor *c = Cursors ? Cursors->Selected() : nullptr;
    if (c == nullptr)
        return;
    const CursorMarkers::DragResult r = CursorMarkers::DragMove(
        c->MarkerLeft, x, Device.PlotPanel->width(), ViewPosition, TriggerCursorTime, *this);
    c->MarkerLeft = r.MarkerLeft;
    c->Time = r.CursorTime;
    if (!(r.ViewPosition == ViewPosition))
        SetViewPosition(r.ViewPosition);
    if (OnDragTimers)
        OnDragTimers(r.LeftScroll, r.RightScroll);
    Redraw();
    if (OnCursorsChanged)
        OnCursorsChanged();
}

void CWaveform::AutoScrollMarker(bool left)
{
    WCursor::Cursor *c = Cursors ? Cursors->Selected() : nullptr;
    if (c == nullptr)
        return;
    const CursorMarkers::ScrollResult r =
        CursorMarkers::AutoScrollTick(left, ViewPosition, c->Time, *this);
    c->Time = r.CursorTime;
    SetViewPosition(r.ViewPosition);
    if (OnViewMoved)
        OnViewMoved();
    Redraw();
    if (OnCursorsChanged)
        OnCursorsChanged();
}
