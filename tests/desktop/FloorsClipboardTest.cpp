// Floors, background pictures, the clipboard, the selection commands, the
// "Правка" menu and the export of the drawing, run through the main
// window's commands.

#include <QComboBox>
#include <QImageReader>
#include <QRegularExpression>
#include <QMenu>

#include "MainWindowFixture.h"
#include "model/SchemeEditing.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

using Flags = std::vector<bool>;

QComboBox& FloorList(TF& tf)
{
    return *tf.findChild<QComboBox*>("ComboBox1");
}

QStringList FloorEntries(TF& tf)
{
    QStringList entries;
    for (int i = 0; i < FloorList(tf).count(); ++i) entries << FloorList(tf).itemText(i);
    return entries;
}

// Shows a floor as the user does, through the floor list.
void ShowFloor(TF& tf, int floor)
{
    FloorList(tf).setCurrentIndex(floor - 1);
    QCOMPARE(int(tf.Scheme().ActiveEtag), floor);
}

void PointAt(TF& tf, int x, int y)
{
    tf.Scheme().MouseX = x;
    tf.Scheme().MouseY = y;
}

// A junction on the active floor at a point of the snapping grid, neither
// highlighted nor selected.
int AddJunction(TF& tf, int x, int y)
{
    PointAt(tf, x, y);
    AddNode(tf.Scheme(), kJunction);
    tf.Scheme().Nodes.back().Hot = false;
    return NodeCount(tf.Scheme());
}

// An area from node a to node b, completed on the active floor.
void Join(TF& tf, int a, int b)
{
    AddArea(tf.Scheme(), a, b, 10, 2, kHorizontal);
    tf.Scheme().Areas.back().Hot = false;
}

QString SavePicture(const QString& path, int width, int height, Qt::GlobalColor colour = Qt::yellow)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    picture.save(path);
    return path;
}

// The `Selected` flags of nodes or areas 1, 2, ...
template <typename Element>
Flags Selected(const std::vector<Element>& elements)
{
    Flags flags;
    for (std::size_t i = 1; i < elements.size(); ++i) flags.push_back(elements[i].Selected);
    return flags;
}

// Opens the "Правка" menu and reads the enabled states of the items that
// depend on the selection and the clipboard.
QMap<QString, bool> EditMenuStates(Session& session)
{
    auto* menu = session.Window().findChild<QMenu*>("N25");
    menu->popup(QPoint(0, 0));
    QMap<QString, bool> states;
    for (const char* name : {"Ndel", "NCopy", "NCut", "NPaste"}) states[name] = session.Enabled(name);
    menu->hide();
    return states;
}

// Three floors: A on floor 1; B and C on floor 2 with a stair A-B and an
// area B-C; D and E on floor 3 with a stair C-D and an area D-E. Floors 2
// and 3 have pictures.
struct ThreeFloors {
    BitmapRef Picture2, Picture3;
};

ThreeFloors BuildThreeFloors(Session& session)
{
    TF& tf = session.Window();
    session.Action("TBAddEtag")->trigger();
    session.Action("TBAddEtag")->trigger();
    FloorList(tf).setCurrentIndex(0);
    AddJunction(tf, 102, 102);
    FloorList(tf).setCurrentIndex(1);
    Join(tf, 1, AddJunction(tf, 202, 102));
    Join(tf, 2, AddJunction(tf, 302, 102));
    tf.LoadBackground(SavePicture(session.File("floor2.png"), 40, 20));
    FloorList(tf).setCurrentIndex(2);
    Join(tf, 3, AddJunction(tf, 402, 102));
    Join(tf, 4, AddJunction(tf, 502, 102));
    tf.LoadBackground(SavePicture(session.File("floor3.png"), 30, 10));
    return {tf.Scheme().Backgrounds[2], tf.Scheme().Backgrounds[3]};
}

}  // namespace

class FloorsClipboardTest : public QObject {
    Q_OBJECT

private slots:
    // A floor added goes on top and is shown, so that the next picture or
    // element goes onto it.
    void floorsAreAddedOnTopUpTo255()
    {
        Session session;
        TF& tf = session.Start();
        tf.LoadBackground(SavePicture(session.File("floor1.png"), 40, 20));
        const BitmapRef first = tf.Scheme().Backgrounds[1];
        session.Action("TBAddEtag")->trigger();
        QCOMPARE(FloorList(tf).currentText(), QString("Этаж №2"));
        QCOMPARE(int(tf.Scheme().ActiveEtag), 2);
        session.Prompts().PictureName = SavePicture(session.File("floor2.png"), 30, 10);
        session.Action("TBLoadIm")->trigger();
        QCOMPARE(tf.Scheme().Backgrounds[1], first);
        QVERIFY(tf.Scheme().Backgrounds[2]);
        session.Action("Nundo")->trigger();
        session.Action("TBAddEtag")->trigger();
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2", "Этаж №3"}));
        QCOMPARE(FloorList(tf).currentText(), QString("Этаж №3"));
        QCOMPARE(int(tf.Scheme().ActiveEtag), 3);
        QCOMPARE(session.Panel(4), QString("Этажей 3"));

        // Undo and redo rebuild the list; undo shows the floor that was
        // shown before.
        session.Action("Nundo")->trigger();
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2"}));
        QCOMPARE(FloorList(tf).currentText(), QString("Этаж №2"));
        QCOMPARE(int(tf.Scheme().ActiveEtag), 2);
        session.Action("Nundo")->trigger();
        QCOMPARE(FloorEntries(tf), QStringList{"Этаж №1"});
        session.Action("Nrendo")->trigger();
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2"}));

        for (int floor = 3; floor <= 255; ++floor) session.Action("TBAddEtag")->trigger();
        QCOMPARE(FloorEntries(tf).constLast(), QString("Этаж №255"));
        QVERIFY(session.Prompts().Warnings.isEmpty());
        session.Action("TBAddEtag")->trigger();
        QCOMPARE(int(tf.Scheme().EtagCount), 255);
        QCOMPARE(FloorList(tf).count(), 255);
        QCOMPARE(session.Prompts().Warnings, QStringList{"Нельзя добавить этаж: в проекте уже 255 этажей."});
    }

    void deletingFloorMovesHigherFloorsDown()
    {
        Session session;
        TF& tf = session.Start();
        const ThreeFloors floors = BuildThreeFloors(session);
        ShowFloor(tf, 2);
        tf.SetModified(false);
        session.Prompts().Answers = {Answer::Yes};
        session.Action("TBDelEtag")->trigger();

        const TPipeLine& s = tf.Scheme();
        QCOMPARE(session.Prompts().Questions, QStringList{"Вы действительно хотите удалить выбранный этаж?"});
        // B and C went with the stairs A-B and C-D; D, E and their area
        // are now on floor 2, and so is floor 3's picture.
        QCOMPARE(NodeCount(s), 3);
        QCOMPARE((std::vector<int>{s.Nodes[1].X, s.Nodes[2].X, s.Nodes[3].X}), (std::vector<int>{102, 402, 502}));
        QCOMPARE((std::vector<int>{s.Nodes[1].Etag, s.Nodes[2].Etag, s.Nodes[3].Etag}), (std::vector<int>{1, 2, 2}));
        QCOMPARE(AreaCount(s), 1);
        QCOMPARE((std::tuple{s.Areas[1].Node1, s.Areas[1].Node2, int(s.Areas[1].Etag)}), (std::tuple{2, 3, 2}));
        QCOMPARE(s.Backgrounds[2], floors.Picture3);
        QVERIFY(!s.Backgrounds[1] && !s.Backgrounds[3]);
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2"}));
        QCOMPARE(FloorList(tf).currentIndex(), 0);
        QCOMPARE(int(s.ActiveEtag), 1);
        QVERIFY(s.Modified);

        session.Action("TBUndo")->trigger();
        QCOMPARE(FloorEntries(tf).size(), 3);
        QCOMPARE(NodeCount(s), 5);
        QCOMPARE(AreaCount(s), 4);
        QCOMPARE(int(s.Nodes[5].Etag), 3);
        QCOMPARE(s.Backgrounds[2], floors.Picture2);
        QCOMPARE(s.Backgrounds[3], floors.Picture3);

        // The top floor deleted, a floor added again has no picture.
        ShowFloor(tf, 3);
        session.Prompts().Answers = {Answer::Yes};
        session.Action("TBDelEtag")->trigger();
        session.Action("TBAddEtag")->trigger();
        QVERIFY(!s.Backgrounds[3]);
    }

    void deletingFloorAsksFirstAndKeepsTheLastOne()
    {
        Session session;
        TF& tf = session.Start();
        session.Action("TBDelEtag")->trigger();
        QCOMPARE(session.Prompts().Messages, QStringList{"Вы не можете удалить единственный этаж!"});
        QVERIFY(session.Prompts().Questions.isEmpty());

        BuildThreeFloors(session);
        session.Prompts().Answers = {Answer::No};
        session.Action("TBDelEtag")->trigger();
        QCOMPARE(int(tf.Scheme().EtagCount), 3);
        QCOMPARE(NodeCount(tf.Scheme()), 5);
        QCOMPARE(int(tf.Scheme().ActiveEtag), 3);
    }

    void largePictureShrinksToTheCanvas_data()
    {
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QSize>("loaded");
        const QSize square(2500, 2500);
        QTest::newRow("wide, yes") << square << QSize(3000, 1000) << int(Answer::Yes) << QSize(2500, 833);
        QTest::newRow("wide, no") << square << QSize(3000, 1000) << int(Answer::No) << QSize(3000, 1000);
        QTest::newRow("wide, cancel") << square << QSize(3000, 1000) << int(Answer::Cancel) << QSize(3000, 1000);
        QTest::newRow("tall, yes") << square << QSize(500, 2600) << int(Answer::Yes) << QSize(481, 2500);
        QTest::newRow("fits") << square << QSize(2500, 10) << -1 << QSize(2500, 10);
        // On a canvas that is not square the proportions stay.
        QTest::newRow("wide canvas") << QSize(3000, 1000) << QSize(4000, 2000) << int(Answer::Yes) << QSize(2000, 1000);
    }

    void largePictureShrinksToTheCanvas()
    {
        QFETCH(QSize, canvas);
        QFETCH(QSize, picture);
        QFETCH(int, answer);
        QFETCH(QSize, loaded);
        Session session;
        TF& tf = session.Start();
        tf.Scheme().WSpaceG = canvas.width();
        tf.Scheme().WSpaceV = canvas.height();
        tf.SetModified(false);
        session.Prompts().PictureName = SavePicture(session.File("plan.png"), picture.width(), picture.height());
        session.Prompts().Answers = {Answer(answer)};
        session.Action("TBLoadIm")->trigger();
        const QString question = "Размер изображения превышает размер рабочей области\nуменьшить изображение?";
        QCOMPARE(session.Prompts().Questions, answer < 0 ? QStringList() : QStringList{question});
        const BitmapRef background = tf.Scheme().Backgrounds[1];
        QCOMPARE(QSize(background->Width, background->Height), loaded);
        // Loading a background is an edit of the project: undo takes it back.
        QVERIFY(tf.Scheme().Modified);
        QVERIFY(session.Enabled("TBUndo"));
        session.Action("TBUndo")->trigger();
        QVERIFY(!tf.Scheme().Backgrounds[1]);
        QCOMPARE(session.Panel(1), QString("Сохранено"));  // the new project is as nobody touched it
    }

    void backgroundStaysUnlessReplacedOrDeleted()
    {
        Session session;
        TF& tf = session.Start();
        session.Action("TBAddEtag")->trigger();
        ShowFloor(tf, 1);
        tf.LoadBackground(SavePicture(session.File("one.png"), 40, 30));
        ShowFloor(tf, 2);
        tf.LoadBackground(SavePicture(session.File("two.png"), 40, 30));
        const BitmapRef second = tf.Scheme().Backgrounds[2];

        session.WriteFile(session.File("broken.png"), "not a picture");
        session.Prompts().PictureName = session.File("broken.png");
        session.Action("TBLoadIm")->trigger();
        QCOMPARE(tf.Scheme().Backgrounds[2], second);
        QCOMPARE(session.Prompts().Warnings.size(), 1);
        QVERIFY(session.Prompts().Warnings[0].contains("broken.png"));

        session.Prompts().Answers = {Answer::No, Answer::Cancel, Answer::Yes};
        session.Action("TBDelIm")->trigger();
        session.Action("TBDelIm")->trigger();
        QCOMPARE(tf.Scheme().Backgrounds[2], second);
        session.Action("TBDelIm")->trigger();
        QVERIFY(!tf.Scheme().Backgrounds[2]);
        QVERIFY(tf.Scheme().Backgrounds[1]);
        QCOMPARE(session.Prompts().Questions.constLast(), QString("Вы действительно хотите удалить подложку?"));
    }

    void copyThenTwoPastesPastesOnce()
    {
        Session session;
        TF& tf = session.Start();
        TPipeLine& s = tf.Scheme();
        AddJunction(tf, 102, 102);
        Join(tf, 1, AddJunction(tf, 202, 102));
        s.Areas[1].Selected = true;  // its ends are copied with it
        s.Nodes[1].People = 7;
        PointAt(tf, 150, 150);
        tf.SetModified(false);
        const bool undoBefore = session.Enabled("TBUndo");
        session.Action("NCopy")->trigger();
        QVERIFY(tf.ClipboardHasCopy());
        QVERIFY(!s.Modified);  // copying is no edit and no undo step
        QCOMPARE(session.Enabled("TBUndo"), undoBefore);
        QCOMPARE(Selected(s.Nodes), (Flags{false, false}));  // the selection is dropped

        PointAt(tf, 250, 350);
        session.Action("NPaste")->trigger();
        QVERIFY(!tf.ClipboardHasCopy());
        QCOMPARE(NodeCount(s), 4);
        QCOMPARE((std::pair{s.Nodes[3].X, s.Nodes[3].Y}), (std::pair{202, 302}));
        QCOMPARE((std::pair{s.Nodes[4].X, s.Nodes[4].Y}), (std::pair{302, 302}));
        QCOMPARE(s.Nodes[3].People, 7);
        QCOMPARE((std::pair{s.Areas[2].Node1, s.Areas[2].Node2}), (std::pair{3, 4}));
        QCOMPARE(Selected(s.Nodes), (Flags{false, false, true, true}));
        QCOMPARE(session.Panel(2), QString("Узлов 4"));

        // The second paste adds nothing and is no step; the menu no longer
        // offers it.
        tf.SetModified(false);
        tf.PasteCommand();
        QCOMPARE(NodeCount(s), 4);
        QCOMPARE(AreaCount(s), 2);
        QVERIFY(!s.Modified);
        QVERIFY(!EditMenuStates(session)["NPaste"]);

        QCOMPARE(session.Action("Nundo")->text().remove('&'), QString("Отменить: вставка 3 элементов"));
        session.Action("Nundo")->trigger();
        QCOMPARE(NodeCount(s), 2);
    }

    void cutRemovesWhatItCopied()
    {
        Session session;
        TF& tf = session.Start();
        TPipeLine& s = tf.Scheme();
        AddJunction(tf, 102, 102);
        Join(tf, 1, AddJunction(tf, 202, 102));
        Join(tf, 2, AddJunction(tf, 302, 102));
        s.Nodes[1].Selected = true;
        PointAt(tf, 100, 100);
        session.Action("NCut")->trigger();
        QCOMPARE(NodeCount(s), 2);  // the first node and its area are gone
        QCOMPARE(AreaCount(s), 1);
        QCOMPARE(s.Nodes[1].X, 202);

        // From the pop-up menu the node under the pointer is cut even when
        // it is not selected.
        s.Nodes[2].Hot = true;
        tf.CutCommand();
        QCOMPARE(NodeCount(s), 1);
        QCOMPARE(AreaCount(s), 0);
        PointAt(tf, 600, 100);
        tf.PasteCommand();
        QCOMPARE(s.Nodes[2].X, 802);
    }

    void selectAllTakesOnlyTheActiveFloor()
    {
        Session session;
        TF& tf = session.Start();
        BuildThreeFloors(session);
        TPipeLine& s = tf.Scheme();
        s.Nodes[1].Selected = true;
        ShowFloor(tf, 2);
        session.Action("NSelectAll")->trigger();
        // A-B and B-C were completed on floor 2, C-D and D-E on floor 3.
        QCOMPARE(Selected(s.Nodes), (Flags{false, true, true, false, false}));
        QCOMPARE(Selected(s.Areas), (Flags{true, true, false, false}));
    }

    void selectConnectedFollowsTheAreas_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("selectedBefore");
        QTest::addColumn<Flags>("nodes");
        QTest::addColumn<Flags>("areas");
        // P-Q-R, and T on floor 2 by a stair R-T, all built from the far
        // end; S alone.
        const Flags chain{true, true, true, false, true};
        const Flags none{false, false, false, false, false};
        QTest::newRow("over P") << QPoint(102, 102) << 0 << chain << Flags{true, true, true};
        QTest::newRow("over area Q-R") << QPoint(252, 102) << 0 << chain << Flags{true, true, true};
        QTest::newRow("over S") << QPoint(102, 302) << 0 << Flags{false, false, false, true, false}
                                << Flags{false, false, false};
        QTest::newRow("empty spot") << QPoint(700, 700) << 0 << none << Flags{false, false, false};
        QTest::newRow("empty spot, T selected") << QPoint(700, 700) << 5 << chain << Flags{true, true, true};
    }

    void selectConnectedFollowsTheAreas()
    {
        QFETCH(QPoint, pointer);
        QFETCH(int, selectedBefore);
        QFETCH(Flags, nodes);
        QFETCH(Flags, areas);
        Session session;
        TF& tf = session.Start();
        session.Action("TBAddEtag")->trigger();
        ShowFloor(tf, 1);
        const int p = AddJunction(tf, 102, 102);
        const int q = AddJunction(tf, 202, 102);
        const int r = AddJunction(tf, 302, 102);
        AddJunction(tf, 102, 302);
        ShowFloor(tf, 2);
        const int t = AddJunction(tf, 302, 202);
        Join(tf, r, t);
        ShowFloor(tf, 1);
        Join(tf, q, r);
        Join(tf, p, q);
        if (selectedBefore) tf.Scheme().Nodes[selectedBefore].Selected = true;

        PointAt(tf, pointer.x(), pointer.y());
        tf.SelectConnectedCommand();
        QCOMPARE(Selected(tf.Scheme().Nodes), nodes);
        QCOMPARE(Selected(tf.Scheme().Areas), areas);
    }

    void editMenuFollowsSelectionAndClipboard()
    {
        Session session;
        TF& tf = session.Start();
        TPipeLine& s = tf.Scheme();
        AddJunction(tf, 102, 102);
        using States = QMap<QString, bool>;
        QCOMPARE(EditMenuStates(session), (States{{"Ndel", false}, {"NCopy", false}, {"NCut", false}, {"NPaste", false}}));
        // Closed again, the items act by their keys, by the same rules: with
        // nothing selected copying does nothing.
        QVERIFY(session.Enabled("NCopy") && session.Enabled("NPaste"));
        tf.SetModified(false);
        session.Action("NCopy")->trigger();
        QVERIFY(!s.Modified);

        s.Nodes[1].Selected = true;
        QCOMPARE(EditMenuStates(session), (States{{"Ndel", true}, {"NCopy", true}, {"NCut", true}, {"NPaste", false}}));
        session.Action("NCopy")->trigger();
        QCOMPARE(EditMenuStates(session), (States{{"Ndel", false}, {"NCopy", false}, {"NCut", false}, {"NPaste", true}}));

        // A selection on another floor counts as well.
        session.Action("TBAddEtag")->trigger();
        ShowFloor(tf, 2);
        s.Nodes[1].Selected = true;
        QVERIFY(EditMenuStates(session)["NCopy"]);

        // A closed project takes no clipboard keys.
        session.Prompts().Answers = {Answer::No};
        session.Action("no1")->trigger();
        session.Action("NPaste")->trigger();
        QCOMPARE(NodeCount(s), 1);
    }

    void exportWritesTheChosenFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "plan.png" << QByteArray("png");
        QTest::newRow("bmp") << "plan.bmp" << QByteArray("bmp");
        QTest::newRow("jpeg") << "plan.JPG" << QByteArray("jpeg");
    }

    void exportWritesTheChosenFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        Session session;
        TF& tf = session.Start();
        AddJunction(tf, 102, 102);
        tf.LoadBackground(SavePicture(session.File("back.png"), 50, 50, Qt::blue));
        session.Prompts().ExportName = session.File(name);
        session.Action("Nexport")->trigger();
        QVERIFY(session.Prompts().Warnings.isEmpty());

        QImageReader reader(session.File(name));
        QCOMPARE(reader.format(), format);
        const QImage picture = reader.read();
        // The plan and the node with a margin of 64 pixels around it, not
        // the whole workspace.
        QCOMPARE(picture.size(), QSize(167, 167));
        QVERIFY(qBlue(picture.pixel(10, 10)) > 200 && qRed(picture.pixel(10, 10)) < 60);
        int marked = 0;
        for (int y = 95; y < 110; ++y)
            for (int x = 95; x < 110; ++x) marked += qGray(picture.pixel(x, y)) < 200;
        QVERIFY(marked > 0);
        QVERIFY(qGray(picture.pixel(150, 20)) > 240);
    }

    // SVG and PDF keep the labels as text and the drawing's extent as
    // their size.
    void exportAsSvgOrPdfKeepsTextAsText()
    {
        Session session;
        TF& tf = session.Start();
        AddJunction(tf, 102, 102);
        AddJunction(tf, 302, 202);
        tf.Scheme().Nodes[2].Name = "Лестница Л1";
        tf.Scheme().ShowNumbers = true;
        for (const QString& name : {QString("plan.svg"), QString("plan.pdf")}) {
            session.Prompts().ExportName = session.File(name);
            session.Action("Nexport")->trigger();
            QCOMPARE(session.Prompts().Warnings, QStringList());
            QFile file(session.File(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            if (name.endsWith("svg")) {
                QVERIFY(QRegularExpression("viewBox=\"0 0 3[0-9][0-9] 2[0-9][0-9]\"").match(bytes).hasMatch());
                QVERIFY(bytes.contains("<text"));
                QVERIFY(QString::fromUtf8(bytes).contains("Лестница Л1"));
            } else {
                QVERIFY(bytes.startsWith("%PDF"));
                QVERIFY(bytes.contains("/FontFile"));
                QVERIFY(QRegularExpression("/MediaBox \\[0 0 2[0-9.]+ 1[0-9][0-9][0-9.]*\\]").match(bytes).hasMatch());
            }
        }
    }

    void failedExportIsReported()
    {
        Session session;
        session.Start();
        for (const QString& path : {session.File("no-folder/plan.png"), session.File("plan.unknown")}) {
            session.Prompts().Warnings.clear();
            session.Prompts().ExportName = path;
            session.Action("Nexport")->trigger();
            QCOMPARE(session.Prompts().Warnings.size(), 1);
            QVERIFY2(session.Prompts().Warnings[0].startsWith("Не удалось сохранить изображение"),
                     qPrintable(session.Prompts().Warnings[0]));
            QVERIFY(!QFile::exists(path));
        }
    }
};

QTEST_MAIN(FloorsClipboardTest)
#include "FloorsClipboardTest.moc"
