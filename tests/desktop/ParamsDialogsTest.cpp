// The node and area parameter dialogs: what an accept writes, that cancel
// and every refused field leave the scheme as it was, the typed-number
// rules, the projection-area table, the window placement and dragging, and
// the floor chooser and messages of the main window.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "DirectChanges.h"
#include "MainWindowFixture.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "dialogs/NumberFields.h"
#include "dialogs/ProjectionAreaTable.h"
#include "model/ProjectFile.h"
#include "model/SchemeEditing.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Two floors; an input (labelled by its number), a junction and an exit
// joined by a horizontal path and a doorway.
TPipeLine Sample()
{
    TPipeLine s;
    s.EtagCount = 2;
    auto add = [&s](std::uint8_t kind, const char* name) -> TNode& {
        TNode& n = s.Nodes.emplace_back();
        n.Kind = kind;
        n.Etag = 1;
        n.Name = name;
        n.X = 100 * int(s.Nodes.size());
        n.Y = 100;
        return n;
    };
    TNode& input = add(kInput, kDefaultNodeName);
    input.People = 10;
    input.F = 0.125;
    input.Mobility = 2;
    add(kJunction, "У2");
    add(kExit, "В1");
    s.Areas.push_back({1, 2, 1, 12.5, 1.5, kHorizontal});
    s.Areas.push_back({2, 3, 1, 4, 0.9, kDoorway});
    return s;
}

// Everything of the scheme that a project file holds.
std::string Contents(const TPipeLine& s) { return *ProjectText(s, '.', nullptr); }

// Key presses for the characters of `text`, Cyrillic ones too.
void Type(QWidget* field, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(field, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces the text of a field as the user would: select all, then type.
void Retype(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    Type(field, text);
}

// Shows a dialog through `show` and runs `act` while it waits for the
// user; a dialog that `act` left open is cancelled afterwards.
bool WhileShown(QDialog& dialog, const std::function<void()>& act, const std::function<bool()>& show)
{
    QTimer::singleShot(0, &dialog, [&] {
        act();
        if (dialog.isVisible()) dialog.reject();
    });
    return show();
}

template <class T>
T* Child(QWidget& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
}

}  // namespace

class ParamsDialogsTest : public QObject {
    Q_OBJECT

    QMainWindow main_;
    TFuzel* node_ = nullptr;
    TFpar* area_ = nullptr;
    std::shared_ptr<test::ScriptedPrompts> prompts_ = std::make_shared<test::ScriptedPrompts>();
    QStringList& warnings_ = prompts_->Warnings;
    test::DirectChanges changes_;

    bool ShowNode(TPipeLine& s, int node, const std::function<void()>& act, QPoint pointer = QPoint(300, 300))
    {
        changes_.Scheme = &s;
        return WhileShown(*node_, act, [&] { return node_->ShowNodeParams(s, node, pointer); });
    }
    bool ShowArea(TPipeLine& s, int area, const std::function<void()>& act)
    {
        changes_.Scheme = &s;
        return WhileShown(*area_, act, [&] { return area_->ShowAreaParams(s, area, QPoint(300, 300)); });
    }

    QWidget* NodeField(const QString& name)
    {
        if (name == "EditPlCh") return Child<ProjectionAreaField>(*node_, "EditPlCh")->Edit();
        return Child<QWidget>(*node_, name.toUtf8().constData());
    }

    // Valid new values in every field of the input node's dialog.
    void FillNode()
    {
        Retype(NodeField("EditH"), "25");
        Retype(NodeField("EditPlCh"), "0.16");
        Retype(NodeField("EditEtag"), "2");
        Retype(NodeField("EditNumber"), "А-1");
        QTest::keyClick(NodeField("CBMM"), Qt::Key_Down);
    }

private slots:
    void initTestCase()
    {
        qputenv("LC_ALL", "ru_RU.UTF-8");  // numbers are shown with a decimal comma
        main_.setGeometry(100, 100, 800, 600);
        main_.show();
        node_ = new TFuzel(prompts_, changes_, &main_);
        area_ = new TFpar(prompts_, changes_, &main_);
    }

    void init() { warnings_.clear(); }

    void normalizeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("point, comma locale") << "0.16" << QChar(',') << "0,16";
        QTest::newRow("comma, comma locale") << "0,16" << QChar(',') << "0,16";
        QTest::newRow("comma, point locale") << "12,5" << QChar('.') << "12.5";
        QTest::newRow("digits") << "250" << QChar(',') << "250";
        QTest::newRow("empty") << "" << QChar(',') << "?";
        QTest::newRow("minus") << "-5" << QChar(',') << "?";
        QTest::newRow("blank inside") << "1 000" << QChar(',') << "?";
        QTest::newRow("unit") << "12 m" << QChar('.') << "?";
        QTest::newRow("exponent") << "1e3" << QChar('.') << "?";
    }
    void normalizeNumber()
    {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(QString, normalized);
        QCOMPARE(NormalizeNumber(text, separator), normalized);
    }

    // Only what survives normalizing converts, and only the first failing
    // field is reported.
    void fieldReaderConverts()
    {
        QWidget a, b;
        FieldReader read;
        QCOMPARE(read.Real(&a, "0.16", "f"), std::optional<double>(0.16));
        QCOMPARE(read.Real(&a, "0,16", "f"), std::optional<double>(0.16));
        QCOMPARE(read.Integer(&a, "255", "n", 1, 255), std::optional<int>(255));
        QVERIFY(!read.Failed());

        QVERIFY(!read.Integer(&a, "2,5", "Этаж №", 1, 255));
        QVERIFY(!read.Integer(&b, "99999999999", "Количество человек", 0, std::numeric_limits<int>::max()));
        QVERIFY(!read.Real(&b, "1.2.3", "Длина, м"));
        QCOMPARE(read.FailedField(), &a);
        QCOMPARE(read.Message(), QString("Этаж №: введите целое число от 1 до 255"));

        FieldReader people;
        QVERIFY(!people.Integer(&b, "99999999999", "Количество человек", 0, std::numeric_limits<int>::max()));
        QCOMPARE(people.Message(), QString("Количество человек: введите целое число без знака"));
    }

    void nodeDialogShowsTheNode()
    {
        TPipeLine s = Sample();
        ShowNode(s, 1, [&] {
            QCOMPARE(node_->windowTitle(), QString("Узел №1"));
            QCOMPARE(node_->findChild<QGroupBox*>()->title(), QString(" Параметры узла №1"));
            QCOMPARE(Child<QLineEdit>(*node_, "EditH")->text(), QString("10"));
            QCOMPARE(Child<ProjectionAreaField>(*node_, "EditPlCh")->text(), QString("0,125"));
            QCOMPARE(Child<QSpinBox>(*node_, "EditEtag")->value(), 1);
            QCOMPARE(Child<QLineEdit>(*node_, "EditNumber")->text(), QString(kDefaultNodeName));
            QCOMPARE(Child<QComboBox>(*node_, "CBMM")->currentText(), QString("M3"));
            QCOMPARE(Child<QComboBox>(*node_, "CBMM")->count(), 10);
            QCOMPARE(node_->focusWidget(), NodeField("EditH"));
            QVERIFY(node_->windowFlags() & Qt::Tool);
            QCOMPARE(qRound(node_->windowOpacity() * 255), 230);
        });
    }

    void nodeAcceptWritesEveryField()
    {
        TPipeLine s = Sample();
        QSignalSpy floorsChanged(node_, &TFuzel::FloorsChanged);
        const bool accepted = ShowNode(s, 1, [&] {
            FillNode();
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton3"), Qt::LeftButton);
        });
        QVERIFY(accepted);
        const TNode& n = s.Nodes[1];
        QCOMPARE(n.People, 25);
        QCOMPARE(n.F, 0.16);
        QCOMPARE(n.Mobility, std::uint8_t(3));
        QCOMPARE(n.Etag, std::uint8_t(2));
        QCOMPARE(QString::fromStdString(n.Name), QString("А-1"));
        QCOMPARE(s.EtagCount, std::uint8_t(2));
        QCOMPARE(floorsChanged.count(), 1);
        QVERIFY(warnings_.isEmpty());
    }

    void nodeCancelChangesNothing()
    {
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        const bool accepted = ShowNode(s, 1, [&] {
            FillNode();
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton2"), Qt::LeftButton);
        });
        QVERIFY(!accepted);
        QCOMPARE(Contents(s), before);
    }

    // With every other field changed to a valid value, one field that does
    // not convert keeps the dialog open, names the field and writes nothing.
    void nodeBadFieldChangesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString people = "Количество человек: введите целое число без знака";
        const QString area = "Средняя площадь горизонтальной проекции человека, м²: введите число без знака, например 0,5";
        const QString floor = "Этаж №: введите целое число от 1 до 255";
        QTest::newRow("people negative") << "EditH" << "-5" << people;
        QTest::newRow("people with blank") << "EditH" << "1 000" << people;
        QTest::newRow("people fraction") << "EditH" << "2,5" << people;
        QTest::newRow("people empty") << "EditH" << "" << people;
        QTest::newRow("people too many") << "EditH" << "99999999999" << people;
        QTest::newRow("area letters") << "EditPlCh" << "abc" << area;
        QTest::newRow("area two separators") << "EditPlCh" << "0.1.2" << area;
        QTest::newRow("area empty") << "EditPlCh" << "" << area;
        QTest::newRow("floor empty") << "EditEtag" << "" << floor;
        QTest::newRow("floor zero") << "EditEtag" << "0" << floor;
    }
    void nodeBadFieldChangesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        const bool accepted = ShowNode(s, 1, [&] {
            FillNode();
            Retype(NodeField(field), text);
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton3"), Qt::LeftButton);
            QVERIFY(node_->isVisible());
            QCOMPARE(node_->focusWidget(), NodeField(field));
        });
        QVERIFY(!accepted);
        QCOMPARE(warnings_, QStringList{message});
        QCOMPARE(Contents(s), before);
    }

    // A label the project file could not store is refused.
    void nodeUnstorableNameIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString codePage =
            "Узел №: обозначение узла содержит символы, которые нельзя сохранить в файле проекта (кодировка "
            "Windows-1251).";
        QTest::newRow("greek") << "Ω-1" << codePage;
        QTest::newRow("emoji") << "Выход 😀" << codePage;
        QTest::newRow("line break") << "А\nБ" << "Узел №: обозначение узла не может содержать перевод строки.";
    }
    void nodeUnstorableNameIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        ShowNode(s, 2, [&] {
            auto* edit = Child<QLineEdit>(*node_, "EditNumber");
            Retype(edit, "");
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, name, Qt::NoModifier);
            if (edit->text() != name) edit->setText(name);  // what typing cannot bring, pasting can
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton3"), Qt::LeftButton);
            QVERIFY(node_->isVisible());
        });
        QCOMPARE(warnings_, QStringList{message});
        QCOMPARE(Contents(s), before);
    }

    // Junctions and exits hold no people: the people fields show "-", are
    // disabled and are not read; the default-label button still works.
    void junctionKeepsItsPeopleFields()
    {
        TPipeLine s = Sample();
        s.Nodes[2].People = 7;
        s.Nodes[2].F = 0.3;
        const bool accepted = ShowNode(s, 2, [&] {
            QCOMPARE(node_->windowTitle(), QString("Узел №У2"));
            for (const char* name : {"EditH", "EditPlCh", "CBMM"}) QVERIFY(!NodeField(name)->isEnabled());
            QCOMPARE(Child<QLineEdit>(*node_, "EditH")->text(), QString("-"));
            QCOMPARE(Child<ProjectionAreaField>(*node_, "EditPlCh")->text(), QString("-"));
            QCOMPARE(node_->focusWidget(), NodeField("EditEtag"));
            Retype(NodeField("EditEtag"), "2");
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton1"), Qt::LeftButton);
            QCOMPARE(Child<QLineEdit>(*node_, "EditNumber")->text(), QString(kDefaultNodeName));
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton3"), Qt::LeftButton);
        });
        QVERIFY(accepted);
        QVERIFY(warnings_.isEmpty());
        QCOMPARE(s.Nodes[2].People, 7);
        QCOMPARE(s.Nodes[2].F, 0.3);
        QCOMPARE(s.Nodes[2].Etag, std::uint8_t(2));
        QCOMPARE(s.Nodes[2].Name, std::string(kDefaultNodeName));
    }

    void projectionAreaTable()
    {
        QCOMPARE(kProjectionAreas.size(), std::size_t(28));
        for (std::size_t i = 0; i < kProjectionAreas.size(); ++i) QCOMPARE(kProjectionAreas[i].Id, int(i) + 1);
        QCOMPARE(kProjectionAreas[4].S, 0.35);
        QCOMPARE(kProjectionAreas[27].S, 1.58);

        TPipeLine s = Sample();
        const bool accepted = ShowNode(s, 1, [&] {
            auto* field = Child<ProjectionAreaField>(*node_, "EditPlCh");
            QTableWidget* table = field->Popup()->Table();
            QCOMPARE(table->rowCount(), 28);
            QCOMPARE(table->horizontalHeaderItem(0)->text(), QString("Группа"));
            QCOMPARE(field->Popup()->width(), 400);

            // The table opens at the row of the value in the field (0,125).
            QTest::mouseClick(field->DropButton(), Qt::LeftButton);
            QVERIFY(field->Popup()->isVisible());
            QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 2);

            // Choosing by mouse.
            const QRect row = table->visualItemRect(table->item(4, 0));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
            QVERIFY(!field->Popup()->isVisible());
            QCOMPARE(field->text(), QString("0,35"));

            // Choosing by keyboard, then accepting.
            QTest::keyClick(field->Edit(), Qt::Key_F4);
            QVERIFY(field->Popup()->isVisible());
            QTest::keyClick(table, Qt::Key_Down);
            QTest::keyClick(table, Qt::Key_Return);
            QVERIFY(!field->Popup()->isVisible());
            QCOMPARE(field->text(), QString("0,26"));
            QTest::mouseClick(Child<QToolButton>(*node_, "SpeedButton3"), Qt::LeftButton);
        });
        QVERIFY(accepted);
        QCOMPARE(s.Nodes[1].F, 0.26);
    }

    void placementBesidePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("corner");
        // Main window at (100, 100), 800 × 600; dialog 200 × 150.
        QTest::newRow("inside") << QPoint(300, 300) << QPoint(295, 295);
        QTest::newRow("left of the window") << QPoint(50, 300) << QPoint(150, 295);
        QTest::newRow("above the window") << QPoint(300, 20) << QPoint(295, 150);
        QTest::newRow("beyond the right edge") << QPoint(850, 300) << QPoint(650, 295);
        QTest::newRow("below the bottom edge") << QPoint(300, 690) << QPoint(295, 500);
        QTest::newRow("beyond both") << QPoint(2000, 2000) << QPoint(650, 500);
    }
    void placementBesidePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, corner);
        QCOMPARE(PlaceBesidePointer(pointer, QSize(200, 150), QRect(100, 100, 800, 600)), corner);
    }

    void dialogsStayInsideTheMainWindow()
    {
        TPipeLine s = Sample();
        const QRect frame = main_.frameGeometry();
        for (const QPoint pointer : {QPoint(0, 0), QPoint(5000, 5000)}) {
            ShowNode(s, 1, [&] { QVERIFY(frame.contains(node_->frameGeometry())); }, pointer);
        }
        ShowNode(s, 1, [&] { QCOMPARE(node_->pos(), QPoint(295, 295)); });
    }

    // A press on the body, a label or the frame drags the window; a press
    // in a field does not.
    void draggedByItsBody()
    {
        TPipeLine s = Sample();
        ShowArea(s, 1, [&] {
            auto drag = [](QWidget* widget, QPoint by) {
                const QPoint local(3, 3);
                const QPoint global = widget->mapToGlobal(local);
                auto send = [widget](QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
                                     Qt::MouseButtons buttons) {
                    QMouseEvent event(type, local, global, button, buttons, {});
                    QApplication::sendEvent(widget, &event);
                };
                send(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
                send(QEvent::MouseMove, local + by, global + by, Qt::NoButton, Qt::LeftButton);
                send(QEvent::MouseButtonRelease, local + by, global + by, Qt::LeftButton, Qt::NoButton);
            };
            const QPoint start = area_->pos();
            drag(area_->findChild<QLabel*>(), QPoint(30, 20));
            QTRY_COMPARE(area_->pos(), start + QPoint(30, 20));
            drag(area_->findChild<QGroupBox*>(), QPoint(-10, 5));
            QTRY_COMPARE(area_->pos(), start + QPoint(20, 25));
            drag(Child<QLineEdit>(*area_, "Ledit"), QPoint(40, 40));
            QTest::qWait(50);
            QCOMPARE(area_->pos(), start + QPoint(20, 25));
        });
    }

    void areaDialogShowsTheArea()
    {
        TPipeLine s = Sample();
        ShowArea(s, 2, [&] {
            QCOMPARE(area_->windowTitle(), QString("Участок №У2-В1"));
            QCOMPARE(area_->findChild<QGroupBox*>()->title(), QString(" Параметры участка №У2-В1"));
            QCOMPARE(Child<QLineEdit>(*area_, "Ledit")->text(), QString("4"));
            QCOMPARE(Child<QLineEdit>(*area_, "Dedit")->text(), QString("0,9"));
            QCOMPARE(Child<QComboBox>(*area_, "KeEdit")->currentText(), QString("Дверной проем"));
            QCOMPARE(area_->focusWidget(), Child<QWidget>(*area_, "Ledit"));
        });
    }

    void areaAcceptWritesEveryField_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<bool>("reverse");
        QTest::newRow("comma") << "12,5" << false;
        QTest::newRow("point, reversed") << "12.5" << true;
    }
    void areaAcceptWritesEveryField()
    {
        QFETCH(QString, length);
        QFETCH(bool, reverse);
        TPipeLine s = Sample();
        const bool accepted = ShowArea(s, 2, [&] {
            Retype(Child<QWidget>(*area_, "Ledit"), length);
            Retype(Child<QWidget>(*area_, "Dedit"), "1.2");
            QTest::keyClick(Child<QWidget>(*area_, "KeEdit"), Qt::Key_Down);
            Child<QCheckBox>(*area_, "CBarrow")->setChecked(reverse);
            QTest::mouseClick(Child<QToolButton>(*area_, "SpeedButton2"), Qt::LeftButton);
        });
        QVERIFY(accepted);
        const TArea& a = s.Areas[2];
        QCOMPARE(a.Length, 12.5);
        QCOMPARE(a.Width, 1.2);
        QCOMPARE(a.Kind, std::uint8_t(kRampDown));
        QCOMPARE(a.Node1, reverse ? 3 : 2);
        QCOMPARE(a.Node2, reverse ? 2 : 3);
    }

    // A tick left from an earlier showing never reverses the next area.
    void reversalDoesNotCarryOver()
    {
        TPipeLine s = Sample();
        ShowArea(s, 1, [&] { Child<QCheckBox>(*area_, "CBarrow")->setChecked(true); });
        const bool accepted = ShowArea(s, 2, [&] {
            QVERIFY(!Child<QCheckBox>(*area_, "CBarrow")->isChecked());
            QTest::mouseClick(Child<QToolButton>(*area_, "SpeedButton2"), Qt::LeftButton);
        });
        QVERIFY(accepted);
        QCOMPARE(s.Areas[1].Node1, 1);
        QCOMPARE(s.Areas[2].Node1, 2);
    }

    void areaCancelChangesNothing()
    {
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        const bool accepted = ShowArea(s, 1, [&] {
            Retype(Child<QWidget>(*area_, "Ledit"), "30");
            Child<QCheckBox>(*area_, "CBarrow")->setChecked(true);
            QTest::mouseClick(Child<QToolButton>(*area_, "SpeedButton1"), Qt::LeftButton);
        });
        QVERIFY(!accepted);
        QCOMPARE(Contents(s), before);
    }

    // Enter in the length, the width or the kind list accepts; typing into
    // the closed kind list opens it.
    void enterAccepts_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("length") << "Ledit";
        QTest::newRow("width") << "Dedit";
        QTest::newRow("kind") << "KeEdit";
    }
    void enterAccepts()
    {
        QFETCH(QString, field);
        TPipeLine s = Sample();
        const bool accepted = ShowArea(s, 1, [&] {
            Retype(Child<QWidget>(*area_, "Dedit"), "2");
            auto* kind = Child<QComboBox>(*area_, "KeEdit");
            Type(kind, "Л");
            QVERIFY(kind->view()->isVisible());
            QTest::keyClick(kind->view(), Qt::Key_Return);
            QVERIFY(!kind->view()->isVisible());
            QCOMPARE(kind->currentText(), QString("Лестница вниз"));
            QTest::keyClick(Child<QWidget>(*area_, field.toUtf8().constData()), Qt::Key_Return);
        });
        QVERIFY(accepted);
        QCOMPARE(s.Areas[1].Width, 2.0);
        QCOMPARE(s.Areas[1].Kind, std::uint8_t(kStairsDown));
    }

    void enterElsewhereDoesNotAccept()
    {
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        const bool accepted = ShowArea(s, 1, [&] {
            Child<QCheckBox>(*area_, "CBarrow")->setChecked(true);
            QTest::keyClick(Child<QWidget>(*area_, "CBarrow"), Qt::Key_Return);
            QTest::keyClick(Child<QWidget>(*area_, "SpeedButton1"), Qt::Key_Return);
            QVERIFY(area_->isVisible());
        });
        QVERIFY(!accepted);
        QCOMPARE(Contents(s), before);
    }

    void areaBadFieldChangesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString length = "Длина, м: введите число без знака, например 0,5";
        const QString width = "Ширина, м: введите число без знака, например 0,5";
        QTest::newRow("length with unit") << "Ledit" << "12 m" << length;
        QTest::newRow("length negative") << "Ledit" << "-1" << length;
        QTest::newRow("length empty") << "Ledit" << "" << length;
        QTest::newRow("width letters") << "Dedit" << "abc" << width;
        QTest::newRow("width empty") << "Dedit" << "" << width;
    }
    void areaBadFieldChangesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TPipeLine s = Sample();
        const std::string before = Contents(s);
        const bool accepted = ShowArea(s, 1, [&] {
            Retype(Child<QWidget>(*area_, "Ledit"), "30");
            Retype(Child<QWidget>(*area_, "Dedit"), "3");
            QTest::keyClick(Child<QWidget>(*area_, "KeEdit"), Qt::Key_Down);
            Child<QCheckBox>(*area_, "CBarrow")->setChecked(true);
            Retype(Child<QWidget>(*area_, field.toUtf8().constData()), text);
            QTest::mouseClick(Child<QToolButton>(*area_, "SpeedButton2"), Qt::LeftButton);
            QVERIFY(area_->isVisible());
            QCOMPARE(area_->focusWidget(), Child<QWidget>(*area_, field.toUtf8().constData()));
        });
        QVERIFY(!accepted);
        QCOMPARE(warnings_, QStringList{message});
        QCOMPARE(Contents(s), before);
    }

    // In the program: a higher floor extends the floor chooser, a lower one
    // never shrinks it, and refusals come through the window's prompts.
    void mainWindowFloorsAndMessages()
    {
        Session session;
        TF& tf = session.Start();
        AddNode(tf.Scheme(), kInput);
        auto* dialog = tf.findChild<TFuzel*>();
        auto* floors = tf.findChild<QComboBox*>("ComboBox1");
        const QPoint pointer = tf.geometry().center();
        auto setFloor = [&](const QString& floor) {
            return WhileShown(*dialog, [&] {
                Retype(Child<QWidget>(*dialog, "EditEtag"), floor);
                QTest::mouseClick(Child<QToolButton>(*dialog, "SpeedButton3"), Qt::LeftButton);
            }, [&] { return dialog->ShowNodeParams(tf.Scheme(), 1, pointer); });
        };

        QVERIFY(setFloor("4"));
        QCOMPARE(tf.Scheme().EtagCount, std::uint8_t(4));
        QCOMPARE(floors->count(), 4);
        QCOMPARE(floors->itemText(3), QString("Этаж №4"));
        QCOMPARE(floors->currentIndex(), 0);
        QVERIFY(setFloor("1"));
        QCOMPARE(tf.Scheme().EtagCount, std::uint8_t(4));
        QCOMPARE(floors->count(), 4);

        QVERIFY(!setFloor(""));
        QCOMPARE(session.Prompts().Warnings, QStringList{"Этаж №: введите целое число от 1 до 255"});
    }
};

QTEST_MAIN(ParamsDialogsTest)
#include "ParamsDialogsTest.moc"
