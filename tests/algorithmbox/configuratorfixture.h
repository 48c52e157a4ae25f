#pragma once
// The configurator as the main window opens it: the real front end with its command thread on
// 127.0.0.1:6666 and its window under Xvfb, a fake box command channel on 127.0.0.2:6666, the
// modal seam recorded, and the window's clock in the test's hands.

#include "algorithmbox.h"
#include "algorithmboxproc.h"
#include "dirhelpers.h"
#include "fakeboxcommand.h"
#include "fakeheartbeat.h"
#include "heartbeat.h"
#include "inisettings.h"
#include "modalrecorder.h"
#include "page_box.h"
#include "testsupport.h"
#include "widgettexts.h" // readable failure messages for the window's texts

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using testsupport::wait_until;


inline BoxHeartbeat box_heartbeat(const FakeBoxInfo &info = {})
{
    const std::vector<uint8_t> bytes = make_box_heartbeat(info);
    BoxHeartbeat hb{};
    EXPECT_TRUE(box_heartbeat_decode(bytes.data(), bytes.size(), &hb));
    return hb;
}

// "main_ini" in this process's temp folder, loaded once (the store keeps a document for good).
inline void load_main_ini()
{
    const std::string dir = testsupport::temp_dir();
    create_empty_file(dir + "/QuorvelView3D.ini");
    IniSettings::instance()->load(dir, "QuorvelView3D.ini", "main_ini");
}

// The widgets of a configurator window, found by the names its form gives them.
class WindowProbe {
public:
    explicit WindowProbe(QWidget *w) : w_(w) {}

    template <class T = QWidget>
    T *get(const char *name) const
    {
        T *t = w_->findChild<T *>(name);
        EXPECT_NE(t, nullptr) << name;
        return t;
    }
    QAbstractButton *button(const char *name) const { return get<QAbstractButton>(name); }
    QString text(const char *line_edit) const { return get<QLineEdit>(line_edit)->text(); }
    QString ip(const char *name) const { return get(name)->property("ip").toString(); }

    QStringList listed() const
    {
        QStringList out;
        auto *list = get<QListWidget>("listWidget");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    void clickBox(const QString &ip) const
    {
        auto *list = get<QListWidget>("listWidget");
        const auto items = list->findItems(ip, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << ip.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
    }

    // The status grid: rows of {time, sensor IP, dot style, flags}.
    std::vector<QStringList> statusRows() const
    {
        auto *grid = get<QGridLayout>("gridLayout_2");
        std::vector<QStringList> rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < 4; ++c) {
                QLayoutItem *it = grid->itemAtPosition(r, c);
                auto *l = it != nullptr ? qobject_cast<QLabel *>(it->widget()) : nullptr;
                if (l != nullptr)
                    row << (c == 2 ? l->styleSheet() : l->text());
            }
            if (!row.isEmpty())
                rows.push_back(row);
        }
        return rows;
    }

    // Rows of a served-sensor table.
    QStringList rows(const char *table) const
    {
        QStringList out;
        QAbstractItemModel *m = get<QTableView>(table)->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString();
        return out;
    }

private:
    QWidget *w_;
};

class ConfiguratorTest : public ::testing::Test {
protected:
    static constexpr qint64 kBase = 1714979289123; // a fixed instant for the window's clock

    static void SetUpTestSuite() { load_main_ini(); }

    void SetUp() override
    {
        ASSERT_TRUE(fake.ok()) << "port 6666 on 127.0.0.2";
        AlgorithmBoxProc::setBindAddress("127.0.0.1");
        front = std::make_unique<AlgorithmBox>();
        QObject::connect(front.get(), &AlgorithmBox::sig_start, front.get(),
                         [this](QString ip, int port, int type) {
                             starts << QString("%1|%2|%3").arg(ip).arg(port).arg(type);
                         });
        front->show();
        page = front->window();
        ASSERT_NE(page, nullptr);
        ui = std::make_unique<WindowProbe>(page);
        page->setClock([this] { return clock; });
        thread = front->commandThread();
        setBoxOverride(nullptr);
        QApplication::setActiveWindow(page);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page));
        waitForChannel();
    }

    void TearDown() override
    {
        front.reset();
        EXPECT_TRUE(wait_until([&] { return thread.isNull(); }, 5000)) << "the thread ends";
        delete page;
    }

    // The command thread reads its socket once a reply from the fake box reaches the window. It
    // hears the box it talks to only, as if the fake had been chosen in the list.
    void waitForChannel()
    {
        thread->setBoxAddr(QString::fromStdString(fake.ip()), AlgorithmBoxProc::kBoxPort);
        auto *version = ui->get<QLabel>("lb_version");
        ASSERT_TRUE(wait_until([&] {
            fake.send_to_host(FakeBoxCommand::reply("LVERSH:ready"));
            return wait_until([&] { return version->text() == "ready"; }, 20);
        }));
        version->clear();
    }

    // Lists the fake box (127.0.0.2) and selects it; waits for its four queries to be answered.
    void selectFakeBox(FakeBoxInfo info = {})
    {
        front->setBoxInfo(box_heartbeat(info));
        ui->get<QLineEdit>("le_macValue")->clear();
        ui->clickBox(QString::fromStdString(info.box_ip));
        ASSERT_TRUE(fake.wait_for(4, 5000));
        ASSERT_TRUE(wait_until([&] { return !ui->text("le_macValue").isEmpty(); }));
        fake.clear();
    }

    // The fake box's answers: the test's override, and "SYNC..." answered as a version reply,
    // which tells the test that every reply before it has reached the window.
    void setBoxOverride(FakeBoxCommand::Override o)
    {
        fake.set_override([o](const std::string &t) -> std::optional<std::vector<std::string>> {
            if (t.rfind("SYNC", 0) == 0)
                return std::vector<std::string>{"LVERSH:" + t};
            return o ? o(t) : std::nullopt;
        });
    }
    void syncReplies()
    {
        const QString word = QString("SYNC%1").arg(++syncs);
        page->proc()->sendCmd(117, word);
        auto *version = ui->get<QLabel>("lb_version");
        ASSERT_TRUE(wait_until([&] { return version->text() == word; }));
    }

    // Everything the window sent so far has arrived once this marker, sent after it on the
    // same socket, has.
    std::vector<std::string> commandsSoFar()
    {
        page->proc()->sendCmd(117, "MARK");
        EXPECT_TRUE(fake.wait_for_text("MARK", 5000));
        std::vector<std::string> texts;
        for (const std::string &t : fake.command_texts())
            if (t.rfind("SYNC", 0) != 0)
                texts.push_back(t);
        EXPECT_EQ(texts.back(), "MARK") << "nothing follows the marker";
        texts.pop_back();
        fake.clear();
        return texts;
    }

    QString timeText(const char *format) const
    {
        return QDateTime::fromMSecsSinceEpoch(clock).toString(format);
    }

    FakeBoxCommand fake{"127.0.0.2", FakeBoxCommand::kPort};
    testsupport::ModalRecorder modal;
    std::unique_ptr<AlgorithmBox> front;
    Page_Box *page = nullptr;
    std::unique_ptr<WindowProbe> ui;
    QPointer<AlgorithmBoxProc> thread;
    QStringList starts;
    qint64 clock = kBase;
    int syncs = 0;
};
