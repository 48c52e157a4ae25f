#pragma once
// A real main window whose receivers bind 127.0.0.1, with every modal interaction recorded, and
// a connection dialog that answers the next connect action the way a user would: the base of
// the tests that run device sessions against the fakes on 127.0.0.2.

#include "mainwindow.h"

#include "appsettings.h"
#include "dialog_connect.h"
#include "lhframe.h"
#include "mainwindowaccess.h"
#include "modalrecorder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A command frame of the Fenk-U and Raxo sensors, taken apart.
struct SumCommand {
    uint16_t reserved = 0xFFFF;
    uint16_t seq = 0;
    uint16_t type = 0;
    std::vector<uint8_t> payload;
    bool intact = false; // magic, length and sum8 trailer agree
};

inline SumCommand parseSum(const std::vector<uint8_t> &f)
{
    SumCommand c;
    if (f.size() < LH_SUM_OVERHEAD || rd_u16(f.data()) != LH_MAGIC)
        return c;
    c.reserved = rd_u16(f.data() + 2);
    c.seq = rd_u16(f.data() + 4);
    c.type = rd_u16(f.data() + 6);
    const uint32_t n = rd_u32(f.data() + 8);
    if (f.size() != n + LH_SUM_OVERHEAD)
        return c;
    c.payload.assign(f.begin() + LH_SUM_HEADER, f.end() - 1);
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < f.size(); ++i)
        sum = uint8_t(sum + f[i]);
    c.intact = sum == f.back();
    return c;
}

// Waits, with the window's events running, until the fake has taken `count` command frames.
template <typename Fake> bool waitCommands(Fake &fake, size_t count, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return fake.commands().size() >= count; }, timeoutMs);
}

class WindowSessionFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        load_test_settings();
        makeWindow();
    }
    void TearDown() override
    {
        a.reset();
        w.reset();
    }
    // A fixture that installs something first (a translation) builds the window itself.
    void makeWindow()
    {
        w = std::make_unique<MainWindow>();
        w->setBindAddress("127.0.0.1");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        a = std::make_unique<MainWindowTestAccess>(*w);
    }

    // The connection dialog answers the next connect action as a user would: the sensor's row
    // chosen, the host port typed, "connect" pressed. What the dialog was opened with is kept in
    // seenModel, seenRows and seenRowModels (the "Model" cell of each row).
    void answerConnect(const std::string &ip, int listenPort, int localPort, const QString &sn)
    {
        modal.dialogAction = [=](QDialog *dialog) {
            auto *d = qobject_cast<Dialog_Connect *>(dialog);
            if (d == nullptr)
                return 0;
            seenModel = d->lidarmodel;
            seenRows = d->DeviceInfoTable->rowCount();
            seenRowModels.clear();
            for (int r = 0; r < seenRows; ++r) {
                const QStandardItem *model = d->DeviceInfoTable->item(r, Dialog_Connect::COL_MODEL);
                seenRowModels << (model != nullptr ? model->text() : QString());
            }
            d->lidarip = QString::fromStdString(ip);
            d->lidarport = uint16_t(listenPort);
            d->lidarsn = sn;
            d->selectrow = 0;
            d->findChild<QLineEdit *>("le_listenport")->setText(QString::number(localPort));
            QTest::mouseClick(d->findChild<QPushButton *>("pb_connect"), Qt::LeftButton);
            return d->result();
        };
    }
    void trigger(const char *action) { w->findChild<QAction *>(action)->trigger(); }

    testsupport::ModalRecorder modal;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<MainWindowTestAccess> a;
    QString seenModel;
    int seenRows = -1;
    QStringList seenRowModels;
};
