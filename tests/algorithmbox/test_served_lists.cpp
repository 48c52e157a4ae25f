// The served-sensor lists (hidden in the program; shown here to be used with the mouse and the
// keyboard): entries typed into the available table, moved into and out of IO ports A and B,
// and the box's own report rebuilding both IO lists. The fake box keeps what it is told to
// serve and reports it on "LSGETS".

#include "configuratorfixture.h"

#include <QHeaderView>

namespace {

class ServedLists : public ConfiguratorTest {
protected:
    void SetUp() override
    {
        ConfiguratorTest::SetUp();
        selectFakeBox();
        ui->get("groupBox_2")->show();
        QCoreApplication::processEvents();
    }

    QTableView *view(const char *name) const { return ui->get<QTableView>(name); }

    void clickRow(const char *table, int row)
    {
        QTableView *v = view(table);
        const QModelIndex index = v->model()->index(row, 0);
        v->scrollTo(index);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(index).center());
    }

    // "手动编辑", then the new row overwritten in place as a user does.
    void typeEntry(const QString &text)
    {
        QTest::mouseClick(ui->button("pb_edit"), Qt::LeftButton);
        QTableView *v = view("tableView_before");
        const int row = v->model()->rowCount() - 1;
        ASSERT_EQ(v->model()->index(row, 0).data().toString(), "please edit!");
        const QModelIndex index = v->model()->index(row, 0);
        v->scrollTo(index);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(index).center());
        QTest::keyClick(v, Qt::Key_F2);
        QLineEdit *editor = nullptr;
        for (QLineEdit *e : v->viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                editor = e;
        ASSERT_NE(editor, nullptr) << "the cell opens its editor";
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on a queued call
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(v->model()->index(row, 0).data().toString(), text);
    }

    // Types an entry and moves it into IO port A (io 0) or B (io 1).
    void moveIn(const QString &text, int io)
    {
        typeEntry(text);
        clickRow("tableView_before", view("tableView_before")->model()->rowCount() - 1);
        QTest::mouseClick(ui->button(io == 0 ? "pb_input" : "pb_input2"), Qt::LeftButton);
    }

    void moveOut(int io, int row)
    {
        clickRow(io == 0 ? "tableView_after" : "tableView_after2", row);
        QTest::mouseClick(ui->button(io == 0 ? "pb_output" : "pb_output2"), Qt::LeftButton);
    }

    // Waits for the box's answers to what the window sent so far, then for the IO lists.
    void waitForLists(const QStringList &a, const QStringList &b)
    {
        syncReplies();
        EXPECT_EQ(ui->rows("tableView_after"), a);
        EXPECT_EQ(ui->rows("tableView_after2"), b);
    }

    void reportLists(const std::string &report)
    {
        setBoxOverride([report](const std::string &t) -> std::optional<std::vector<std::string>> {
            if (t == "LSGETS")
                return std::vector<std::string>{report};
            return std::nullopt;
        });
    }
};

} // namespace

TEST_F(ServedLists, TablesAndTheirHeaders)
{
    for (const char *t : {"tableView_before", "tableView_after", "tableView_after2"}) {
        SCOPED_TRACE(t);
        QTableView *v = view(t);
        EXPECT_EQ(v->model()->columnCount(), 1);
        EXPECT_EQ(v->model()->headerData(0, Qt::Horizontal).toString(), "ip:port");
        EXPECT_FALSE(v->verticalHeader()->isVisible());
        EXPECT_EQ(v->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        EXPECT_EQ(v->horizontalHeader()->styleSheet(),
                  "QHeaderView::section {background-color: rgb(209, 208, 224);color: rgb(27, 20, 100);}");
    }
    EXPECT_EQ(view("tableView_after")->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view("tableView_after2")->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_NE(view("tableView_before")->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (const char *b : {"pb_input", "pb_output", "pb_input2", "pb_output2"}) {
        EXPECT_TRUE(ui->button(b)->text().isEmpty()) << b;
        EXPECT_FALSE(ui->button(b)->toolTip().isEmpty()) << b;
        EXPECT_FALSE(ui->button(b)->icon().isNull()) << b;
    }
}

TEST_F(ServedLists, EntriesMoveInAndOutAndTheBoxReportFollows)
{
    moveIn("1.1.1.1:1000", 0); // 12 characters: the shortest accepted
    waitForLists({"1.1.1.1:1000"}, {});
    moveIn(" 2.2.2.2 : 2000 ", 1);
    waitForLists({"1.1.1.1:1000"}, {"2.2.2.2:2000"});
    EXPECT_TRUE(ui->rows("tableView_before").isEmpty());
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSADD:1.1.1.1 1000 0", "LSGETS",
                                                         "LSADD:2.2.2.2 2000 1", "LSGETS"}));
    EXPECT_EQ(fake.state().served, (std::vector<std::string>{"1.1.1.1 1000 0", "2.2.2.2 2000 1"}));

    // The moved row is forgotten: moving again without a new click does nothing.
    QTest::mouseClick(ui->button("pb_input"), Qt::LeftButton);
    moveOut(1, 0);
    QTest::mouseClick(ui->button("pb_output2"), Qt::LeftButton);
    waitForLists({"1.1.1.1:1000"}, {});
    EXPECT_EQ(ui->rows("tableView_before"), QStringList({"2.2.2.2:2000"}));
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSDEL:2.2.2.2 2000 1", "LSGETS"}));
    EXPECT_TRUE(modal.warnings.empty());

    // Back into A: the entry is already in neither list.
    clickRow("tableView_before", 0);
    QTest::mouseClick(ui->button("pb_input"), Qt::LeftButton);
    waitForLists({"1.1.1.1:1000", "2.2.2.2:2000"}, {});
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSADD:2.2.2.2 2000 0", "LSGETS"}));
}

TEST_F(ServedLists, MalformedEntriesAreRefusedWithTheirRow)
{
    moveIn("1.1.1.1:1000", 0);
    waitForLists({"1.1.1.1:1000"}, {});
    fake.clear();
    struct Case {
        const char *entry;
        const char *message;
    };
    const Case cases[] = {
        {"1.1.1.10:999", "add lidar config failed:port range error,row:2"},
        {"1.1.1.1:999", "add lidar config failed:format error,row:2"}, // 11 characters
        {"1.1.1.1:65536", "add lidar config failed:port range error,row:2"},
        {"1.1.1.1:port", "add lidar config failed:port range error,row:2"},
        {"1.1.1.1:10:00", "add lidar config failed:format error,row:2"},
        {"300.1.1.1:1000", "add lidar config failed:ip format error,row:2"},
        {"please edit!", "add lidar config failed:format error,row:2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry);
        modal.clear();
        if (QString(c.entry) == "please edit!") {
            QTest::mouseClick(ui->button("pb_edit"), Qt::LeftButton);
            clickRow("tableView_before", view("tableView_before")->model()->rowCount() - 1);
            QTest::mouseClick(ui->button("pb_input"), Qt::LeftButton);
        } else {
            moveIn(c.entry, 0);
        }
        EXPECT_EQ(modal.warningLines(), QStringList({QString("error|") + c.message}));
        // Nothing is sent but the report, which takes the refused entry out of the table again.
        waitForLists({"1.1.1.1:1000"}, {});
        EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS"}));
    }
    EXPECT_TRUE(ui->rows("tableView_before").isEmpty());
}

TEST_F(ServedLists, AnEntryAlreadyServedIsNotAddedAgain)
{
    moveIn("1.1.1.1:1000", 0);
    waitForLists({"1.1.1.1:1000"}, {});
    fake.clear();
    for (int io : {0, 1}) {
        modal.clear();
        moveIn(" 1.1.1.1:1000", io);
        EXPECT_EQ(modal.warningLines(), QStringList({"error|Configuration already exists, please add it again"}));
    }
    EXPECT_EQ(ui->rows("tableView_before"), QStringList({" 1.1.1.1:1000", " 1.1.1.1:1000"}));
    EXPECT_TRUE(commandsSoFar().empty());
}

TEST_F(ServedLists, TheReportSortsEntriesByTheirIoPiece)
{
    reportLists("LSGETS:1.1.1.1 1000 1|2.2.2.2 2000 2|3.3.3.3 3000 0|4.4.4.4 4000 x|bad|5.5.5.5 5000|"
                "6.6.6.6 6000 0 extra|");
    QTest::mouseClick(ui->button("pb_getlidars"), Qt::LeftButton);
    waitForLists({"3.3.3.3:3000", "4.4.4.4:4000"}, {"1.1.1.1:1000", "2.2.2.2:2000"});
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS", "LVERSH"}));

    reportLists("LSGETS:");
    QTest::mouseClick(ui->button("pb_getlidars"), Qt::LeftButton);
    waitForLists({}, {});
}

TEST_F(ServedLists, RemovalsAreComputedAgainstTheLastReport)
{
    // The box reports one entry twice, then stops answering "LSGETS".
    auto reports = std::make_shared<int>(0);
    setBoxOverride([reports](const std::string &t) -> std::optional<std::vector<std::string>> {
        if (t != "LSGETS")
            return std::nullopt;
        if (++*reports == 1)
            return std::vector<std::string>{"LSGETS:7.7.7.7 7000 0|7.7.7.7 7000 0"};
        return std::vector<std::string>{};
    });
    QTest::mouseClick(ui->button("pb_getlidars"), Qt::LeftButton);
    waitForLists({"7.7.7.7:7000", "7.7.7.7:7000"}, {});
    fake.clear();

    moveOut(0, 0);
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS"})) << "still served by the other row";
    moveOut(0, 0);
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSDEL:7.7.7.7 7000 0", "LSGETS"}))
        << "one entry for both rows";

    // An entry the box never reported: added, then removed without an "LSDEL:".
    moveIn("8.8.8.8:8000", 1);
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSADD:8.8.8.8 8000 1", "LSGETS"}));
    EXPECT_EQ(ui->rows("tableView_after2"), QStringList({"8.8.8.8:8000"})) << "no report: the move stays";
    moveOut(1, 0);
    EXPECT_EQ(commandsSoFar(), (std::vector<std::string>{"LSGETS"}));
    EXPECT_EQ(ui->rows("tableView_before"), QStringList({"7.7.7.7:7000", "7.7.7.7:7000", "8.8.8.8:8000"}));
}
