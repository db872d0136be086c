// The settings dialog and the dialog that derives area lengths from a
// drawing scale: what each writes into the scheme, what it leaves alone,
// its refusals, and how the main window uses them.

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "DirectChanges.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "dialogs/ColorButton.h"
#include "dialogs/LabelFontDialog.h"
#include "dialogs/SettingsDialog.h"
#include "editor/AreaLengthsDialog.h"
#include "editor/LengthsPreview.h"
#include "model/SchemeBuilder.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Texts of the message boxes answered by AnswerMessages.
struct MessageLog {
    QStringList Titles;
    QStringList Texts;
};

// Confirms the next message box, noting its title and text.
void AnswerMessage(MessageLog& log)
{
    OnModal<QMessageBox>([&log](QMessageBox* box) {
        log.Titles << box->windowTitle();
        log.Texts << box->text();
        box->accept();
    });
}

// Check boxes and radio buttons are clicked on their indicator, buttons in
// their middle.
void Click(QWidget* parent, const char* name)
{
    auto* widget = parent->findChild<QWidget*>(name);
    QVERIFY2(widget, name);
    const bool indicator = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, indicator ? QPoint(6, widget->height() / 2) : QPoint());
}

void Type(QWidget* parent, const char* name, const QString& text)
{
    auto* spin = parent->findChild<QSpinBox*>(name);
    QVERIFY2(spin, name);
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

int Value(QWidget* parent, const char* name)
{
    return parent->findChild<QSpinBox*>(name)->value();
}

void ChooseColor(QWidget* parent, const char* patch, const QColor& color)
{
    OnModal<QColorDialog>([color](QColorDialog* chooser) {
        chooser->setCurrentColor(color);
        chooser->accept();
    });
    Click(parent, patch);
}

// "Применить", then "Применить" in the preview of what will change; the
// preview's rows (area, old, new) and its note on the areas left out go
// into `rows` and `leftOut` when given.
void ApplyLengths(QWidget* dialog, QStringList* rows = nullptr, QString* leftOut = nullptr)
{
    OnModal<LengthsPreview>([rows, leftOut](LengthsPreview* preview) {
        auto* table = preview->findChild<QTableWidget*>("PreviewLengths");
        for (int r = 0; rows && r < table->rowCount(); ++r)
            *rows << table->item(r, 0)->text() + " " + table->item(r, 1)->text() + " " + table->item(r, 2)->text();
        if (leftOut) *leftOut = preview->findChild<QLabel*>("PreviewLeftOut")->text();
        Click(preview, "PreviewApply");
    });
    Click(dialog, "Button1");
}

int AddTestNode(TPipeLine& s, int x, int y, std::uint8_t floor = 1, const std::string& name = kDefaultNodeName)
{
    return SchemeBuilder(s).OnFloor(floor).Junction({.X = x, .Y = y, .Name = name, .F = 0});
}

void AddTestArea(TPipeLine& s, int node1, int node2, std::uint8_t kind, double length, std::uint8_t floor = 1)
{
    SchemeBuilder(s).OnFloor(floor).Area(node1, node2, length, 1.5, kind);
}

// Area 1, the scale, is drawn 50 px long and measures 10 m; areas 2..9 are
// drawn 100 px long: kinds 1..6 of 5 m, a horizontal path of 0 m, and a
// horizontal path created on floor 2 from a node of floor 1.
TPipeLine FilterScheme()
{
    TPipeLine s;
    s.EtagCount = 2;
    const int origin = AddTestNode(s, 0, 0);
    const int scaleEnd = AddTestNode(s, 30, 40);
    const int far = AddTestNode(s, 60, 80);
    const int upstairs = AddTestNode(s, 60, 80, 2);
    AddTestArea(s, origin, scaleEnd, kHorizontal, 10);
    for (std::uint8_t kind = kHorizontal; kind <= kRampUp; ++kind) AddTestArea(s, origin, far, kind, 5);
    AddTestArea(s, origin, far, kHorizontal, 0);
    AddTestArea(s, origin, upstairs, kHorizontal, 5, 2);
    return s;
}

QList<double> Lengths(const TPipeLine& s)
{
    QList<double> lengths;
    for (int i = 1; i <= AreaCount(s); ++i) lengths << s.Areas[i].Length;
    return lengths;
}

QStringList Entries(QComboBox* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
}

// The settings the dialog edits, side by side for comparison.
struct Shown {
    std::uint8_t AreaWidth, NodeWidth, LNum, DlStr;
    double AngleStr;
    TColor Color, DColor, LupColor, LdownDColor, NodeColor;
    std::string FontName;
    int FontHeight;
    TColor FontColor;
    bool StrV, QuestionMark, ShowNumPeople;
    int WSpaceV, WSpaceG;
    bool operator==(const Shown&) const = default;
};

Shown SettingsOf(const TPipeLine& s)
{
    return {s.AreaWidth,   s.NodeWidth, s.LNum,       s.DlStr,          s.AngleStr,     s.Color,
            s.DColor,      s.LupColor,  s.LdownDColor, s.NodeColor,     s.Font.Name,    s.Font.Height,
            s.Font.Color,  s.StrV,      s.QuestionMark, s.ShowNumPeople, s.WSpaceV,      s.WSpaceG};
}

TPipeLine SchemeWithLabels()
{
    TPipeLine s;
    AddTestNode(s, 10, 10, 1, "A");
    AddTestNode(s, 50, 10, 1, "17");
    AddTestNode(s, 90, 10);
    return s;
}

}  // namespace

class SettingsLengthsTest : public QObject {
    Q_OBJECT

private slots:
    // Lengths by scale.
    void filters_data();
    void filters();
    void zeroLengthScaleRefused();
    void emptySchemeRefused();
    void singleAreaChoice();
    void listsFollowTheScheme();
    void lengthsFromTheMainWindow();
    void previewShowsWhatWillChange();

    // Settings.
    void acceptWritesEverySetting();
    void cancelWritesNothing();
    void arrowSizes();
    void spinsRefuseBadInput();
    void labelReset();
    void labelFont();
    void settingsFromTheMainWindow();
    void settingsFileNotWritable();
};

void SettingsLengthsTest::filters_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("downInSecondList");
    QTest::addColumn<QList<double>>("lengths");

    QTest::newRow("all") << QStringList{} << 0 << QList<double>{10, 20, 20, 20, 20, 5, 5, 20, 5};
    QTest::newRow("all but horizontal paths")
        << QStringList{"CBgor"} << 0 << QList<double>{10, 5, 20, 20, 20, 5, 5, 0, 5};
    QTest::newRow("horizontal paths only")
        << QStringList{"CBdver", "CBlesT", "CBLesB"} << 0 << QList<double>{10, 20, 5, 5, 5, 5, 5, 20, 5};
    QTest::newRow("zero lengths only")
        << QStringList{"RadioButton3"} << 0 << QList<double>{10, 5, 5, 5, 5, 5, 5, 20, 5};
    // Area 9 runs between the floors: never measured.
    QTest::newRow("every floor") << QStringList{"CBActivEtag"} << 0 << QList<double>{10, 20, 20, 20, 20, 5, 5, 20, 5};
    QTest::newRow("one ramp") << QStringList{} << 5 << QList<double>{10, 5, 5, 5, 5, 20, 5, 0, 5};
    QTest::newRow("one area ignores the filters")
        << QStringList{"CBgor", "CBActivEtag"} << 7 << QList<double>{10, 5, 5, 5, 5, 5, 5, 20, 5};
}

void SettingsLengthsTest::filters()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, downInSecondList);
    QFETCH(QList<double>, lengths);

    TPipeLine s = FilterScheme();
    const bool modified = s.Modified;
    QWidget host;
    test::DirectChanges changes(&s);
    TForm2 dialog(std::make_shared<QtPrompts>(), changes, &host);
    dialog.Open(s);
    for (const QString& name : clicks) Click(&dialog, name.toUtf8().constData());
    // Choosing an entry in the second list chooses "№".
    auto* single = dialog.findChild<QComboBox*>("ComboBox2");
    for (int i = 0; i < downInSecondList; ++i) QTest::keyClick(single, Qt::Key_Down);
    QCOMPARE(dialog.findChild<QRadioButton*>("RadioButton2")->isChecked(), downInSecondList > 0);

    ApplyLengths(&dialog);
    QCOMPARE(Lengths(s), lengths);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(s.Modified, modified);
}

void SettingsLengthsTest::zeroLengthScaleRefused()
{
    TPipeLine s;
    AddTestNode(s, 40, 40, 1, "A");
    AddTestNode(s, 40, 40, 1, "B");
    AddTestNode(s, 100, 40);
    AddTestArea(s, 1, 2, kHorizontal, 10);
    AddTestArea(s, 1, 3, kHorizontal, 4);
    QWidget host;
    test::DirectChanges changes(&s);
    TForm2 dialog(std::make_shared<QtPrompts>(), changes, &host);
    dialog.Open(s);

    MessageLog log;
    AnswerMessage(log);
    Click(&dialog, "Button1");
    QCOMPARE(log.Titles, QStringList{"Внимание!"});
    QVERIFY2(log.Texts.value(0).contains("A-B"), qPrintable(log.Texts.value(0)));
    QCOMPARE(Lengths(s), (QList<double>{10, 4}));
    QVERIFY(dialog.isVisible());

    // Another scale area then works.
    auto* scale = dialog.findChild<QComboBox*>("ComboBox1");
    QTest::keyClick(scale, Qt::Key_Down);
    ApplyLengths(&dialog);
    QCOMPARE(Lengths(s), (QList<double>{0, 4}));
    QVERIFY(!dialog.isVisible());
}

void SettingsLengthsTest::emptySchemeRefused()
{
    TPipeLine s = SchemeWithLabels();
    QWidget host;
    test::DirectChanges changes(&s);
    TForm2 dialog(std::make_shared<QtPrompts>(), changes, &host);
    dialog.Open(s);
    QCOMPARE(dialog.findChild<QComboBox*>("ComboBox1")->count(), 0);

    for (const char* choice : {"RadioButton1", "RadioButton2"}) {
        Click(&dialog, choice);
        MessageLog log;
        AnswerMessage(log);
        Click(&dialog, "Button1");
        QCOMPARE(log.Titles, QStringList{"Внимание!"});
        QCOMPARE(log.Texts, QStringList{kNoAreasToMeasure});
        QVERIFY(dialog.isVisible());
    }
    Click(&dialog, "Button2");
    QVERIFY(!dialog.isVisible());
}

void SettingsLengthsTest::singleAreaChoice()
{
    TPipeLine s = FilterScheme();
    QWidget host;
    test::DirectChanges changes(&s);
    TForm2 dialog(std::make_shared<QtPrompts>(), changes, &host);
    dialog.Open(s);
    auto* kinds = dialog.findChild<QGroupBox*>("CBtypes");
    QVERIFY(dialog.findChild<QRadioButton*>("RadioButton1")->isChecked());
    QVERIFY(kinds->isEnabled());
    Click(&dialog, "RadioButton2");
    QVERIFY(!kinds->isEnabled());
    Click(&dialog, "RadioButton3");
    QVERIFY(kinds->isEnabled());
    QTest::keyClick(dialog.findChild<QComboBox*>("ComboBox2"), Qt::Key_Down);
    QVERIFY(!kinds->isEnabled());
    Click(&dialog, "RadioButton1");
    QVERIFY(kinds->isEnabled());
}

void SettingsLengthsTest::listsFollowTheScheme()
{
    TPipeLine s = SchemeWithLabels();
    AddTestArea(s, 1, 2, kHorizontal, 3);
    AddTestArea(s, 2, 3, kDoorway, 4);
    AddTestArea(s, 3, 1, kStairsUp, 5);
    QWidget host;
    test::DirectChanges changes(&s);
    TForm2 dialog(std::make_shared<QtPrompts>(), changes, &host);
    auto* scale = dialog.findChild<QComboBox*>("ComboBox1");
    auto* single = dialog.findChild<QComboBox*>("ComboBox2");
    dialog.Open(s);
    const QStringList entries{"Участок A - 17", "Участок 17 - 3", "Участок 3 - A"};
    QCOMPARE(Entries(scale), entries);
    QCOMPARE(Entries(single), entries);
    QCOMPARE(scale->currentIndex(), 0);
    QCOMPARE(single->currentIndex(), 0);
    scale->setCurrentIndex(2);
    single->setCurrentIndex(1);
    dialog.close();

    // A new area shows in both lists; the choices stay by position.
    AddTestNode(s, 90, 90);
    AddTestArea(s, 3, 4, kHorizontal, 0);
    dialog.Open(s);
    QCOMPARE(Entries(scale), entries + QStringList{"Участок 3 - 4"});
    QCOMPARE(scale->currentIndex(), 2);
    QCOMPARE(single->currentIndex(), 1);
    dialog.close();

    // A position that is gone falls back to the first entry.
    s.Areas.resize(3);
    dialog.Open(s);
    QCOMPARE(scale->currentIndex(), 0);
    QCOMPARE(single->currentIndex(), 1);
    ApplyLengths(&dialog);
    QVERIFY(!dialog.isVisible());
}

// With its defaults the dialog used to turn the 9 m of a stair between
// floors into its drawn 0.8 m and a doorway's 0 m into 1 m without a word.
// The stair is left alone; the doorway's change is shown first, "Назад"
// changes nothing, "Применить" changes it as one step.
void SettingsLengthsTest::previewShowsWhatWillChange()
{
    Session session;
    TF& window = session.Start();
    window.Apply("схема", [](TPipeLine& s) {
        s.EtagCount = 2;
        AddTestNode(s, 100, 100);
        AddTestNode(s, 150, 100);
        AddTestNode(s, 104, 100, 2);
        AddTestNode(s, 150, 105);
        AddTestArea(s, 1, 2, kHorizontal, 10);  // 0.2 m per pixel
        AddTestArea(s, 1, 3, kStairsUp, 9);
        AddTestArea(s, 2, 4, kDoorway, 0);
    });
    window.RebuildFloorList();
    TPipeLine& s = window.Scheme();
    auto* dialog = window.findChild<TForm2*>("Form2");
    session.Action("MMCalcL")->trigger();

    QString leftOut;
    OnModal<LengthsPreview>([&](LengthsPreview* preview) {
        auto* table = preview->findChild<QTableWidget*>("PreviewLengths");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QString("2-4"));
        QCOMPARE(table->item(0, 1)->text(), QString("0"));
        QCOMPARE(table->item(0, 2)->text(), QString("1"));
        leftOut = preview->findChild<QLabel*>("PreviewLeftOut")->text();
        Click(preview, "PreviewBack");
    });
    Click(dialog, "Button1");
    QVERIFY(leftOut.contains("концы на разных этажах: 1"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(Lengths(s), (QList<double>{10, 9, 0}));
    QCOMPARE(session.Action("Nundo")->text().remove('&'), QString("Отменить: схема"));

    ApplyLengths(dialog);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(Lengths(s), (QList<double>{10, 9, 1}));
    QCOMPARE(session.Action("Nundo")->text().remove('&'), QString("Отменить: длина участка 2-4"));
    session.Action("Nundo")->trigger();
    QCOMPARE(Lengths(s), (QList<double>{10, 9, 0}));
}

void SettingsLengthsTest::lengthsFromTheMainWindow()
{
    Session session;
    TF& window = session.Start();
    TPipeLine& s = window.Scheme();
    AddTestNode(s, 100, 100);
    AddTestNode(s, 130, 140);
    AddTestNode(s, 160, 180);
    AddTestArea(s, 1, 2, kHorizontal, 10);
    AddTestArea(s, 1, 3, kHorizontal, 0);
    s.Modified = false;

    auto* dialog = window.findChild<TForm2*>("Form2");
    session.Action("MMCalcL")->trigger();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QComboBox*>("ComboBox2")->count(), 2);
    // The main window takes no input while the dialog is open.
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    ApplyLengths(dialog);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(s.Areas[2].Length, 20.0);
    // The lengths are one edit: modified, and undone in one step.
    QVERIFY(s.Modified);
    QVERIFY(session.Enabled("Nundo"));
    session.Action("Nundo")->trigger();
    QCOMPARE(s.Areas[2].Length, 0.0);
    QVERIFY(!session.Enabled("Nundo"));
    session.Action("Nrendo")->trigger();
    QCOMPARE(s.Areas[2].Length, 20.0);

    // The title-bar close gives the window back as well.
    session.Action("TBItem2")->trigger();
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    dialog->close();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void SettingsLengthsTest::acceptWritesEverySetting()
{
    TPipeLine s;
    s.Font.Name = "DejaVu Sans";
    const std::vector<TNode> nodes = SchemeWithLabels().Nodes;
    s.Nodes = nodes;
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);

    bool missed = false;
    OnModal<TFParams>(
        [](TFParams* d) {
            // The dialog shows the scheme's settings.
            QCOMPARE(Value(d, "SpinEdit1"), 5);
            QCOMPARE(Value(d, "SPangl"), 24);
            QCOMPARE(Value(d, "SpinEditG"), 2000);
            QVERIFY(d->findChild<QCheckBox*>("CheckBox3")->isChecked());
            QCOMPARE(d->findChild<ColorButton*>("Image2")->Color(), TColor{0x008000});

            Type(d, "SpinEdit1", "9");
            Type(d, "SpinEdit2", "12");
            Type(d, "SpinEdit3", "4");
            Click(d, "CheckBox1");
            Type(d, "SPdl", "20");
            Type(d, "SPangl", "45");
            Click(d, "CheckBox3");
            Click(d, "CBShowNumChl");
            Type(d, "SpinEditG", "3000");
            Type(d, "SpinEditV", "1500");
            ChooseColor(d, "ImgColorGUch", QColor(0x11, 0x22, 0x33));
            ChooseColor(d, "ImgColorDUch", QColor(0x44, 0x55, 0x66));
            ChooseColor(d, "ImgColorLDownUch", QColor(0x77, 0x88, 0x99));
            ChooseColor(d, "ImgColorLUpUch", QColor(0xAA, 0xBB, 0xCC));
            ChooseColor(d, "Image2", QColor(0xFF, 0x00, 0x01));
            Click(d, "Button1");
        },
        &missed);
    QVERIFY(dialog.ShowSettings(s));
    QVERIFY(!missed);

    QCOMPARE(int(s.AreaWidth), 9);
    QCOMPARE(int(s.NodeWidth), 12);
    QCOMPARE(int(s.LNum), 4);
    QVERIFY(s.StrV);
    QCOMPARE(int(s.DlStr), 20);
    QCOMPARE(s.AngleStr, 0.45);
    QVERIFY(!s.QuestionMark);
    QVERIFY(s.ShowNumPeople);
    QCOMPARE(s.WSpaceG, 3000);
    QCOMPARE(s.WSpaceV, 1500);
    QCOMPARE(s.Color, TColor{0x332211});
    QCOMPARE(s.DColor, TColor{0x665544});
    QCOMPARE(s.LdownDColor, TColor{0x998877});
    QCOMPARE(s.LupColor, TColor{0xCCBBAA});
    QCOMPARE(s.NodeColor, TColor{0x0100FF});
    QCOMPARE(s.Font.Name, std::string("DejaVu Sans"));
    QCOMPARE(s.Font.Height, 12);
    // The labels are left alone unless asked for.
    QCOMPARE(s.Nodes[1].Name, std::string("A"));
}

void SettingsLengthsTest::cancelWritesNothing()
{
    TPipeLine s;
    s.Nodes = SchemeWithLabels().Nodes;
    const Shown before = SettingsOf(s);
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);

    OnModal<TFParams>([](TFParams* d) {
        Type(d, "SpinEdit1", "9");
        Type(d, "SpinEditG", "3000");
        Click(d, "CheckBox1");
        ChooseColor(d, "Image2", Qt::red);
        // A colour chooser closed with its cancel button changes nothing.
        OnModal<QColorDialog>([](QColorDialog* chooser) {
            chooser->setCurrentColor(Qt::blue);
            chooser->reject();
        });
        Click(d, "ImgColorGUch");
        QCOMPARE(d->findChild<ColorButton*>("ImgColorGUch")->Color(), TColor{0x008000});
        Click(d, "Button2");
    });
    QVERIFY(!dialog.ShowSettings(s));
    QVERIFY(SettingsOf(s) == before);

    // The next showing starts again from the scheme.
    OnModal<TFParams>([](TFParams* d) {
        QCOMPARE(Value(d, "SpinEdit1"), 5);
        QCOMPARE(Value(d, "SpinEditG"), 2000);
        QVERIFY(!d->findChild<QCheckBox*>("CheckBox1")->isChecked());
        QCOMPARE(d->findChild<ColorButton*>("Image2")->Color(), TColor{0x008000});
        d->reject();
    });
    QVERIFY(!dialog.ShowSettings(s));
}

void SettingsLengthsTest::arrowSizes()
{
    TPipeLine s;
    s.StrV = true;
    s.AngleStr = 0.28;
    s.DlStr = 13;
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);

    OnModal<TFParams>([](TFParams* d) {
        auto* length = d->findChild<QSpinBox*>("SPdl");
        auto* angle = d->findChild<QSpinBox*>("SPangl");
        QCOMPARE(angle->value(), 28);
        QCOMPARE(length->value(), 13);
        QVERIFY(length->isEnabled() && angle->isEnabled());
        Type(d, "SPangl", "45");
        Type(d, "SPdl", "7");
        // Without arrows the sizes are greyed out but still stored.
        Click(d, "CheckBox1");
        QVERIFY(!length->isEnabled() && !angle->isEnabled());
        // The "?" box does not change that.
        Click(d, "CheckBox3");
        QVERIFY(!length->isEnabled() && !angle->isEnabled());
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QVERIFY(!s.StrV);
    QCOMPARE(s.AngleStr, 0.45);
    QCOMPARE(int(s.DlStr), 7);

    OnModal<TFParams>([](TFParams* d) {
        QVERIFY(!d->findChild<QSpinBox*>("SPdl")->isEnabled());
        Click(d, "CheckBox1");
        QVERIFY(d->findChild<QSpinBox*>("SPdl")->isEnabled());
        d->reject();
    });
    QVERIFY(!dialog.ShowSettings(s));
}

void SettingsLengthsTest::spinsRefuseBadInput()
{
    TPipeLine s;
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);
    OnModal<TFParams>([](TFParams* d) {
        Type(d, "SpinEdit1", "x,");
        Type(d, "SpinEditV", "99999");
        Type(d, "SpinEdit2", "-");
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(int(s.AreaWidth), 5);
    QVERIFY(s.WSpaceV >= 500 && s.WSpaceV <= 4000);
    QCOMPARE(int(s.NodeWidth), 7);
}

void SettingsLengthsTest::labelReset()
{
    TPipeLine s = SchemeWithLabels();
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);

    // Ticking and unticking warns twice and resets nothing.
    MessageLog log;
    OnModal<TFParams>([&log](TFParams* d) {
        AnswerMessage(log);
        Click(d, "CBSetDefault");
        AnswerMessage(log);
        Click(d, "CBSetDefault");
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(log.Texts, (QStringList{kLabelResetWarning, kLabelResetWarning}));
    QVERIFY(!log.Titles.contains("Внимание!"));
    QCOMPARE(s.Nodes[1].Name, std::string("A"));

    // Ticked, "Отмена" resets nothing, "Принять" resets every label.
    OnModal<TFParams>([&log](TFParams* d) {
        AnswerMessage(log);
        Click(d, "CBSetDefault");
        Click(d, "Button2");
    });
    QVERIFY(!dialog.ShowSettings(s));
    QCOMPARE(s.Nodes[2].Name, std::string("17"));
    OnModal<TFParams>([](TFParams* d) {
        QVERIFY(d->findChild<QCheckBox*>("CBSetDefault")->isChecked());
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    for (int i = 1; i <= NodeCount(s); ++i) QCOMPARE(s.Nodes[i].Name, std::string(kDefaultNodeName));

    // The box stays ticked, so a later "Принять" resets new labels again.
    s.Nodes[1].Name = "B";
    OnModal<TFParams>([](TFParams* d) { Click(d, "Button1"); });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(s.Nodes[1].Name, std::string(kDefaultNodeName));
    QCOMPARE(log.Texts.size(), 3);
}

void SettingsLengthsTest::labelFont()
{
    TFontSpec font;
    QCOMPARE(ToQFont(font).pointSizeF(), 9.0);
    QCOMPARE(FromQFont(ToQFont(font), 0).Height, 12);

    TPipeLine s;
    QWidget host;
    test::DirectChanges changes(&s);
    TFParams dialog(std::make_shared<QtPrompts>(), changes, &host);
    OnModal<TFParams>([](TFParams* d) {
        // Cancelled, the chooser changes nothing.
        OnModal<LabelFontDialog>([](LabelFontDialog* chooser) {
            QFont other("DejaVu Serif");
            other.setPointSize(20);
            chooser->findChild<QFontDialog*>()->setCurrentFont(other);
            chooser->reject();
        });
        Click(d, "Button3");
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(s.Font.Name, std::string("arial"));
    QCOMPARE(s.Font.Height, 12);

    // Confirmed unchanged, the chooser keeps the name as written, though it
    // lists the family that the name resolves to.
    OnModal<TFParams>([](TFParams* d) {
        OnModal<LabelFontDialog>([](LabelFontDialog* chooser) { chooser->accept(); });
        Click(d, "Button3");
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(s.Font.Name, std::string("arial"));
    QCOMPARE(s.Font.Height, 12);
    QVERIFY(!s.Font.Bold);

    OnModal<TFParams>([](TFParams* d) {
        OnModal<LabelFontDialog>([](LabelFontDialog* chooser) {
            QFont chosen("DejaVu Serif");
            chosen.setPointSize(12);
            chosen.setBold(true);
            chosen.setItalic(true);
            chosen.setUnderline(true);
            chooser->findChild<QFontDialog*>()->setCurrentFont(chosen);
            ChooseColor(chooser, "FontColor", QColor(0x12, 0x34, 0x56));
            QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        Click(d, "Button3");
        Click(d, "Button1");
    });
    QVERIFY(dialog.ShowSettings(s));
    QCOMPARE(s.Font.Name, std::string("DejaVu Serif"));
    QCOMPARE(s.Font.Height, 16);
    QCOMPARE(s.Font.Color, TColor{0x563412});
    QVERIFY(s.Font.Bold);
    QVERIFY(s.Font.Italic);
    QVERIFY(s.Font.Underline);
    QVERIFY(!s.Font.StrikeOut);
}

void SettingsLengthsTest::settingsFromTheMainWindow()
{
    Session session;
    TF& window = session.Start();
    auto* canvas = window.findChild<QWidget*>("img");
    QCOMPARE(canvas->size(), QSize(2000, 2000));

    OnModal<TFParams>([](TFParams* d) {
        Type(d, "SpinEditG", "3000");
        Type(d, "SpinEditV", "1500");
        Type(d, "SpinEdit1", "9");
        Click(d, "CheckBox1");
        Type(d, "SPangl", "30");
        Click(d, "Button1");
    });
    session.Action("MMParams")->trigger();
    QCOMPARE(window.Scheme().WSpaceG, 3000);
    QCOMPARE(canvas->size(), QSize(3000, 1500));
    QVERIFY(session.Prompts().Warnings.isEmpty());

    QFile file(session.ConfigFile("settings.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ini = file.readAll();
    for (const char* line : {"WSpaceG=3000", "WSpaceV=1500", "width=6"})
        QVERIFY2(ini.contains(line), line);
    QVERIFY2(ini.contains("angle_str=0.3") || ini.contains("angle_str=0,3"), ini.constData());

    // "Отмена" from the toolbar button leaves file and canvas alone.
    file.close();
    QVERIFY(file.remove());
    OnModal<TFParams>([](TFParams* d) {
        Type(d, "SpinEditG", "800");
        Click(d, "Button2");
    });
    session.Action("TBParams")->trigger();
    QCOMPARE(canvas->size(), QSize(3000, 1500));
    QVERIFY(!file.exists());
}

void SettingsLengthsTest::settingsFileNotWritable()
{
    Session session;
    TF& window = session.Start();
    // A file in the place of the settings folder.
    QString folder = session.ConfigFile(QString());
    folder.chop(1);
    QVERIFY(QDir(folder).removeRecursively());
    session.WriteFile(folder, "not a folder");

    OnModal<TFParams>([](TFParams* d) {
        Type(d, "SpinEditG", "1000");
        Click(d, "Button1");
    });
    session.Action("MMParams")->trigger();
    QCOMPARE(session.Prompts().Warnings, QStringList{QString::fromUtf8(kConfigWriteFailed).replace("\r\n", "\n")});
    // The settings still take effect for this run.
    QCOMPARE(window.Scheme().WSpaceG, 1000);
    QCOMPARE(window.findChild<QWidget*>("img")->width(), 1000);
}

QTEST_MAIN(SettingsLengthsTest)
#include "SettingsLengthsTest.moc"
