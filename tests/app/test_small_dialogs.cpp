// The log-path dialog, the choice among labels and the About box, in both languages.

#include "appsettings.h"
#include "dialog_config.h"
#include "dialog_connect.h"
#include "dialog_question.h"
#include "dialog_software_info.h"
#include "component_logoperate.h"
#include "inisettings.h"
#include "modalrecorder.h"
#include "testsupport.h"
#include "widgettexts.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>

namespace {

const char kDoc[] = "main_ini";

QString fileText(const std::string &path)
{
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

QString logPathLabel(const Dialog_Config &d)
{
    return d.findChild<QLabel *>("lb_logsavepath")->text();
}

} // namespace

TEST(DialogConfig, ShowsAndStoresTheLogFolder)
{
    const std::string ini = load_test_settings();
    testsupport::ModalRecorder modal;
    Dialog_Config d;
    EXPECT_EQ(d.windowTitle(), "Config");
    EXPECT_EQ(d.size(), QSize(699, 189));
    EXPECT_TRUE(d.findChild<QLabel *>("lb_logsavepath")->wordWrap());
    EXPECT_EQ(logPathLabel(d), QCoreApplication::applicationDirPath()) << "no Logpath: the program's folder";
    auto *set = d.findChild<QPushButton *>("pb_setlogpath");

    // Cancelled chooser: nothing changes.
    QTest::mouseClick(set, Qt::LeftButton);
    ASSERT_EQ(modal.chooserRequests.size(), 1u);
    const ChooserRequest &r = modal.chooserRequests[0];
    EXPECT_EQ(r.kind, ChooserKind::Directory);
    EXPECT_EQ(r.caption, "Open Directory");
    EXPECT_EQ(r.dir, QDir::homePath()) << "no Logpath: the chooser starts at home";
    EXPECT_EQ(r.options, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    EXPECT_EQ(logPathLabel(d), QCoreApplication::applicationDirPath());
    EXPECT_FALSE(fileText(ini).contains("Logpath"));

    // A folder nobody can create a file in (root ignores permissions, so: a path below a
    // regular file): warned about and not taken.
    const std::string base = testsupport::make_temp_subdir("logs");
    std::ofstream(base + "/plainfile") << "x";
    modal.chooserAnswers.push_back(QString::fromStdString(base + "/plainfile/below"));
    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_EQ(modal.warningLines(),
              QStringList({"error|The log path does not have write permission, please change the path."}));
    EXPECT_EQ(logPathLabel(d), QCoreApplication::applicationDirPath());
    EXPECT_FALSE(fileText(ini).contains("Logpath"));

    // A writable folder is shown and stored, and the probe leaves nothing behind.
    modal.clear();
    const QString good = QString::fromStdString(base) + "/日志";
    ASSERT_TRUE(QDir().mkpath(good));
    modal.chooserAnswers.push_back(good);
    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_TRUE(modal.warnings.empty());
    EXPECT_EQ(logPathLabel(d), good);
    EXPECT_EQ(QString::fromStdString(IniSettings::instance()->get_value("Standard", "Logpath", "", kDoc)), good);
    EXPECT_TRUE(fileText(ini).contains("Logpath = " + good)) << fileText(ini).toStdString();
    EXPECT_TRUE(QDir(good).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    QTest::mouseClick(d.findChild<QPushButton *>("pb_close"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);

    // Next time the stored folder is shown, and the chooser starts there.
    Dialog_Config again;
    EXPECT_EQ(logPathLabel(again), good);
    QTest::mouseClick(again.findChild<QPushButton *>("pb_setlogpath"), Qt::LeftButton);
    EXPECT_EQ(modal.chooserRequests.back().dir, good);
    IniSettings::instance()->set_value("Standard", "Logpath", "", kDoc);
}

TEST(DialogQuestion, ReturnsThePressedIndexOrMinusOneWhenClosed)
{
    const QStringList labels = {"LDS-Fenk-U", "LDS-Raxo-E", "LDS-Raxo-S", "LDS-Vimo-E", "Algorithm Box"};
    for (int i = 0; i < labels.size(); ++i) {
        Dialog_Question d("lidar model select", labels);
        QTimer::singleShot(0, &d, [&d, i] {
            QList<QPushButton *> buttons = d.findChildren<QPushButton *>();
            std::sort(buttons.begin(), buttons.end(),
                      [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
            // The press decides; no release follows.
            QTest::mousePress(buttons.at(i), Qt::LeftButton);
        });
        EXPECT_EQ(d.exec(), i);
    }

    Dialog_Question d("lidar model select", labels);
    EXPECT_EQ(d.objectName(), "Dialog_Question");
    EXPECT_EQ(d.windowTitle(), "lidar model select");
    EXPECT_EQ(d.size(), QSize(400, 85));
    EXPECT_NE(d.findChild<QHBoxLayout *>("horizontalLayout_2"), nullptr);
    QTimer::singleShot(0, &d, [&d] { d.close(); });
    EXPECT_EQ(d.exec(), -1) << "closing is not the first choice";

    Dialog_Question empty("nothing", {});
    EXPECT_TRUE(empty.findChildren<QPushButton *>().isEmpty());
    QTimer::singleShot(0, &empty, [&empty] { QTest::keyClick(&empty, Qt::Key_Escape); });
    EXPECT_EQ(empty.exec(), -1);
}

TEST(DialogSoftwareInfo, TextsLinkAndFlags)
{
    testsupport::ModalRecorder modal;
    Dialog_Software_Info d;
    EXPECT_EQ(d.windowTitle(), "Software Information");
    EXPECT_EQ(d.findChild<QLabel *>("lb_softwareversion")->text(), "V2.0.6.0");
    EXPECT_EQ(d.findChild<QLabel *>("lb_softwaretime")->text(), "2026010801");
    const QLabel *logo = d.findChild<QLabel *>("lb_logo");
    EXPECT_FALSE(logo->pixmap(Qt::ReturnByValue).isNull()) << "the logo comes from the resources";
    const Qt::WindowFlags f = d.windowFlags();
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(f & Qt::CustomizeWindowHint);
    EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowContextHelpButtonHint);

    auto *url = d.findChild<QLabel *>("lb_url");
    EXPECT_TRUE(url->text().contains("href=\"https://www.example.com\""));
    EXPECT_EQ(url->alignment(), Qt::AlignCenter);
    emit url->linkActivated("https://www.example.com");
    ASSERT_EQ(modal.openedUrls.size(), 1u);
    EXPECT_EQ(modal.openedUrls[0], QUrl("https://www.example.com"));
}

// An English system shows no Chinese text in these windows; a Chinese one shows the form
// captions in Chinese.
TEST(SmallDialogs, Languages)
{
    load_test_settings();
    auto texts = [] {
        QStringList all;
        Dialog_Connect c;
        Dialog_Config g;
        Dialog_Software_Info s;
        Component_LogOperate t;
        for (const QWidget *w : std::initializer_list<const QWidget *>{&c, &g, &s, &t})
            all << testsupport::visible_texts(w);
        return all;
    };
    {
        testsupport::ScopedTranslation en("English");
        ASSERT_TRUE(en.loaded());
        const QStringList all = texts();
        EXPECT_TRUE(all.contains("pb_connect: Connect")) << all.join("\n").toStdString();
        EXPECT_EQ(testsupport::cjk_texts(all), QStringList());
    }
    {
        testsupport::ScopedTranslation zh("Chinese");
        ASSERT_TRUE(zh.loaded());
        const QStringList all = texts();
        for (const char *expected :
             {"pb_connect: 连接", "pb_unConnect: 断开", "label: 本地监听端口", "Dialog_Connect: 设备连接信息",
              "groupBox: 日志参数", "pb_setlogpath: 设置", "label_16: 软件版本号：",
              "Dialog_Software_Info: 软件信息"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
    }
}
