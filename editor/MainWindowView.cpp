// The view of the main window: the canvas in its scroll box, the status
// bar, the floor list, and the undo and redo commands that restore a
// recorded state of the scheme.

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"
#include "drawing/SchemeDrawing.h"
#include "model/DrawnLengths.h"

namespace stelmar {

// Five panels of 550, 80, 65, 80 and 50 pixels, the zoom of 50 and t_p of
// the results shown. The first gives way when the window is narrow; the
// others grow when their text needs more room.
void TF::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    QLabel** panels[] = {&hintPanel_, &savedPanel_, &nodesPanel_, &areasPanel_, &floorsPanel_, &zoomPanel_,
                         &resultPanel_};
    const int widths[] = {550, 80, 65, 80, 50, 50, 0};
    for (int i = 0; i < 7; ++i) {
        QLabel* panel = *panels[i] = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 0) {
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            bar->addWidget(panel, 1);
        } else {
            panel->setMinimumWidth(widths[i]);
            bar->addPermanentWidget(panel);
        }
    }
}

void TF::CreateCanvas()
{
    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setWidgetResizable(false);
    scrollBox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    img_ = new CanvasWidget;
    scrollBox_->setWidget(img_);
    tools_ = new CanvasTools(*this, *scrollBox_, *img_);  // a child of the window
    setCentralWidget(scrollBox_);
    ResetCanvas();
    connect(scrollBox_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { Draw(); });
    connect(scrollBox_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Draw(); });
    scrollBox_->viewport()->installEventFilter(this);
}

QSize TF::Extent() const
{
    return CanvasExtent(scheme_, scrollBox_->viewport()->width(), scrollBox_->viewport()->height());
}

// The canvas takes the size of the settings at the zoom in use.
void TF::ResetCanvas()
{
    img_->SetExtent(Extent(), scheme_.Zoom);
    img_->update();
}

// Only the visible box is painted, at the zoom in use, into a picture of
// the box's size that the canvas widget shows in place.
void TF::Draw()
{
    img_->SetExtent(Extent(), scheme_.Zoom);
    const QScrollArea& box = *scrollBox_;
    const CanvasView view{box.horizontalScrollBar()->value(),
                          box.verticalScrollBar()->value(),
                          box.viewport()->width(),
                          box.viewport()->height(),
                          scheme_.Zoom,
                          true};
    DrawCounters counters;
    img_->Backgrounds().SetPlan(plans_->Tiles(scheme_.Plans[scheme_.ActiveEtag]));
    ShowPlanLayers();
    if (!stelmar::Draw(scheme_, img_->Image(), view, false, &counters, &img_->Backgrounds(), results_.Overlay()))
        return;
    nodesPanel_->setText(counters.Nodes);
    areasPanel_->setText(counters.Areas);
    floorsPanel_->setText(counters.Floors);
    ShowScale();
    img_->ShowImage(QPoint(view.HorzPos, view.VertPos));
    NoteSelection();
}

// Node numbers, then -1, then area numbers of the selection.
void TF::NoteSelection()
{
    std::vector<int> selected;
    for (int i = 1; i <= NodeCount(scheme_); ++i)
        if (scheme_.Nodes[i].Selected) selected.push_back(i);
    selected.push_back(-1);
    for (int i = 1; i <= AreaCount(scheme_); ++i)
        if (scheme_.Areas[i].Selected) selected.push_back(i);
    if (selected == drawnSelection_) return;
    drawnSelection_ = std::move(selected);
    emit SelectionChanged();
}

void TF::BeginEdit(std::string name)
{
    if (editDepth_++ > 0) return;
    editName_ = std::move(name);
    modifiedBeforeEdit_ = scheme_.Modified;
    plansBeforeEdit_ = scheme_.Plans;
    history_.Begin(scheme_);
}

// An edit that changed nothing leaves the project as it was, including the
// modified mark that the scheme's own operations set.
void TF::EndEdit()
{
    if (--editDepth_ > 0) return;
    // A plan placed, moved or changed gets its floor picture anew, within
    // the same step.
    plans_->RefreshPictures(scheme_, plansBeforeEdit_);
    // The lengths taken from the drawing follow the edit within its step.
    UpdateDrawnLengths(scheme_);
    if (!history_.End(scheme_, std::move(editName_))) {
        scheme_.Modified = modifiedBeforeEdit_;
        Draw();
        return;
    }
    SetModified(true);
    UpdateHistoryCommands();
    NoteSchemeChange();
}

// Floor entries "Этаж №1" .. "Этаж №" + EtagCount with the given entry
// selected (the active floor's entry when there is no such entry); the
// floor of the selected entry becomes the active one.
void TF::FillFloorList(int selectedIndex)
{
    {
        const QSignalBlocker quiet(floorList_);
        floorList_->clear();
        for (int floor = 1; floor <= scheme_.EtagCount; ++floor) floorList_->addItem(QString("Этаж №%1").arg(floor));
        const bool listed = selectedIndex >= 0 && selectedIndex < floorList_->count();
        floorList_->setCurrentIndex(listed ? selectedIndex : scheme_.ActiveEtag - 1);
    }
    scheme_.ActiveEtag = static_cast<std::uint8_t>(floorList_->currentIndex() + 1);
}

void TF::RebuildFloorList() { FillFloorList(floorList_->currentIndex()); }

void TF::FloorChanged(int index)
{
    if (index < 0) return;
    scheme_.ActiveEtag = static_cast<std::uint8_t>(index + 1);
    Draw();
    emit ActiveFloorChanged();
}

// Undo and redo rebuild the floor list for the restored number of floors,
// keeping the selected entry, and show the floor that entry names. The
// project counts as modified unless it is back in the state last saved.
void TF::UndoCommand()
{
    if (history_.Undo(scheme_)) ShowRestoredState();
    UpdateHistoryCommands();
}

void TF::RedoCommand()
{
    if (history_.Redo(scheme_)) ShowRestoredState();
    UpdateHistoryCommands();
}

void TF::ShowRestoredState()
{
    FillFloorList(floorList_->currentIndex());
    SetModified(!history_.AtSavedState());
    NoteSchemeChange();
}

// The commands name the step they take back or do again; the toolbar
// buttons say the same in their hints.
void TF::UpdateHistoryCommands()
{
    const bool undo = scheme_.Opened && history_.CanUndo();
    const bool redo = scheme_.Opened && history_.CanRedo();
    SetEnabled({"TBUndo", "Nundo"}, undo);
    SetEnabled({"TBRendo", "Nrendo"}, redo);
    auto show = [this](const char* item, const char* button, bool can, const std::string& step) {
        QAction* command = Command(item);
        const QString caption = command->property("caption").toString();  // with its mnemonic
        const QString name = QString::fromStdString(step);
        command->setText(can ? caption + ": " + QString(name).replace('&', "&&") : caption);
        const QString hint = QString(caption).remove('&') + (can ? ": " + name : QString());
        Command(button)->setToolTip(hint);
        Command(button)->setStatusTip(hint);
    };
    show("Nundo", "TBUndo", undo, history_.UndoName());
    show("Nrendo", "TBRendo", redo, history_.RedoName());
}

bool TF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrollBox_->viewport() && event->type() == QEvent::Resize) Draw();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace stelmar
