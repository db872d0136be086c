// The editing commands of the main window: adding and deleting floors, the
// clipboard, selecting all or the connected elements, the enabling of the
// "Правка" menu, and the export of the drawing as a picture file.

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>

#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"
#include "editor/SchemeEdit.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"
#include "drawing/DrawingExport.h"
#include "model/StepNames.h"
#include "drawing/SchemeDrawing.h"
#include "model/SafeFile.h"
#include "pictures/PictureFiles.h"

namespace stelmar {
namespace {

constexpr const char* kOnlyFloorMessage = "Вы не можете удалить единственный этаж!";
constexpr const char* kDeleteFloorQuestion = "Вы действительно хотите удалить выбранный этаж?";
constexpr const char* kExportResultsQuestion = "Включить в рисунок результаты расчета?";

QString FloorLimitMessage()
{
    return QString("Нельзя добавить этаж: в проекте уже %1 этажей.").arg(kMaxFloors);
}

}  // namespace

// The commands of the "Правка" menu are enabled by their rules while the
// menu is open and act by the same rules when run by their keys, so a key
// never stays dead because of the state the menu was last opened in.
void TF::WireEditCommands()
{
    auto wire = [this](const char* name, auto handler) {
        connect(Command(name), &QAction::triggered, this, handler);
    };
    wire("TBAddEtag", [this] { AddFloorCommand(); });
    wire("TBDelEtag", [this] { DeleteFloorCommand(); });
    wire("NCopy", [this] {
        if (AnySelected(scheme_)) CopyCommand();
    });
    wire("NCut", [this] {
        if (AnySelected(scheme_)) CutCommand();
    });
    wire("NPaste", [this] {
        if (ClipboardHasCopy()) PasteCommand();
    });
    wire("NSelectAll", [this] { SelectAllCommand(); });
    wire("Nexport", [this] { ExportCommand(); });

    auto* editMenu = findChild<QMenu*>("N25");
    connect(editMenu, &QMenu::aboutToShow, this, &TF::UpdateEditCommands);
    connect(editMenu, &QMenu::aboutToHide, this,
            [this] { SetEnabled({"Ndel", "NCopy", "NCut", "NPaste"}, scheme_.Opened); });
}

void TF::UpdateEditCommands()
{
    SetEnabled({"Ndel", "NCopy", "NCut"}, AnySelected(scheme_));
    SetEnabled({"NPaste"}, ClipboardHasCopy());
}

// A new floor goes on top and is shown, so that the next picture or
// element goes onto it.
void TF::AddFloorCommand()
{
    if (scheme_.EtagCount >= kMaxFloors) {
        prompts_->ShowWarning(FloorLimitMessage());
        return;
    }
    const SchemeEdit edit(*this, "добавление этажа " + std::to_string(scheme_.EtagCount + 1));
    ++scheme_.EtagCount;
    floorList_->addItem(QString("Этаж №%1").arg(scheme_.EtagCount));
    floorList_->setCurrentIndex(scheme_.EtagCount - 1);
}

// Deletes the active floor with its elements and every area leading to
// them from other floors, as one step; the first floor is shown afterwards.
void TF::DeleteFloorCommand()
{
    if (scheme_.EtagCount <= 1) {
        prompts_->ShowMessage(kOnlyFloorMessage);
        return;
    }
    if (prompts_->AskYesNo(kDeleteFloorQuestion) != Answer::Yes) return;
    const std::uint8_t floor = scheme_.ActiveEtag;
    const SchemeEdit edit(*this, "удаление этажа " + std::to_string(floor));
    SelectFloor(scheme_, floor);
    DeleteSelection(scheme_);
    CloseFloorGap(scheme_, floor);
    FillFloorList(0);
}

bool TF::ClipboardHasCopy() const
{
    return scheme_.ClipNodes.size() > 1 || scheme_.ClipAreas.size() > 1;
}

// Copying changes only the clipboard and the selection: it is no edit of
// the project and no undo step.
void TF::CopyCommand()
{
    if (!scheme_.Opened) return;
    CopySelection(scheme_);
    ClearSelection(scheme_);
    Draw();
}

// Copy, then delete, as one step. The deletion removes exactly what was
// copied: the highlighted elements are copied together with the selected
// ones, so they are deleted with them.
void TF::CutCommand()
{
    if (!scheme_.Opened) return;
    CopySelection(scheme_);
    for (int i = 1; i <= NodeCount(scheme_); ++i) scheme_.Nodes[i].Selected |= scheme_.Nodes[i].Hot;
    for (int i = 1; i <= AreaCount(scheme_); ++i) scheme_.Areas[i].Selected |= scheme_.Areas[i].Hot;
    const SchemeEdit edit(*this, DeletionStepName(scheme_, "вырезание"));
    DeleteSelection(scheme_);
}

// A paste with an empty clipboard adds nothing and leaves no step.
void TF::PasteCommand()
{
    if (!scheme_.Opened) return;
    const int count = static_cast<int>(scheme_.ClipNodes.size() + scheme_.ClipAreas.size()) - 2;
    const SchemeEdit edit(*this, "вставка " + CountGenitive(std::max(count, 0), "элемента", "элементов"));
    PasteClipboard(scheme_);
}

void TF::SelectAllCommand()
{
    if (!scheme_.Opened) return;
    SelectFloor(scheme_, scheme_.ActiveEtag);
    Draw();
}

// Starts from the node under the pointer, or else from the area under it
// with its ends. The existing selection spreads as well, also when the
// pointer is over an empty spot.
void TF::SelectConnectedCommand()
{
    if (!scheme_.Opened) return;
    if (const int node = NodeAt(scheme_)) {
        scheme_.Nodes[node].Selected = true;
    } else if (const int area = AreaAt(scheme_)) {
        TArea& a = scheme_.Areas[area];
        a.Selected = true;
        scheme_.Nodes[a.Node1].Selected = true;
        scheme_.Nodes[a.Node2].Selected = true;
    }
    SpreadSelection(scheme_);
    Draw();
}

// The extent of the active floor's drawing and plan, drawn apart from the
// screen, as a picture in the format the chosen extension names, or as an
// SVG or PDF document.
void TF::ExportCommand()
{
    if (!scheme_.Opened) return;
    const QString path = prompts_->ExportPictureName();
    if (path.isEmpty()) return;
    // The results shown on the drawing go into the picture when the user
    // wants them.
    const SchemeOverlay* results = results_.Shown() ? results_.Overlay() : nullptr;
    if (results && prompts_->AskYesNo(kExportResultsQuestion) != Answer::Yes) results = nullptr;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const PlanPictureRef plan = plans_->Picture(scheme_.Plans[scheme_.ActiveEtag]);
    QString error;
    if (suffix == "svg" || suffix == "pdf") {
        const QByteArray bytes =
            VectorDrawing(scheme_, results, suffix == "svg" ? VectorFormat::Svg : VectorFormat::Pdf, plan.get());
        const auto failure = bytes.isEmpty() ? std::optional<std::string>("документ не удалось составить")
                                             : WriteFilesAtomically({{path.toStdString(), bytes.toStdString()}});
        if (failure)
            error = QString("Не удалось сохранить изображение \"%1\": %2.")
                        .arg(QFileInfo(path).fileName(), QString::fromStdString(*failure));
    } else {
        SavePicture(RasterDrawing(scheme_, results, plan.get()), path, &error);
    }
    if (!error.isEmpty()) prompts_->ShowWarning(error);
}

}  // namespace stelmar
