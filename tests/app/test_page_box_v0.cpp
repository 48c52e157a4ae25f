// The box detection and IO page as a user drives it: every command frame byte for byte, the
// refusals, the upload-type sequence and the icon display, the state the page starts in, its
// notes and warnings in both languages, and the commands going out through a real box receiver to the fake box on
// 127.0.0.2:6002 (the receiver on 127.0.0.1:6002).

#include "page_box_v0.h"

#include "boxpacket.h"
#include "devicepackets.h"
#include "fakebox.h"
#include "lhframe.h"
#include "modalrecorder.h"
#include "pagetest.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "userpointdata.h"
#include "vimoprotocol.h"
#include "widgettexts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using pagetest::bytes;
using pagetest::child;

namespace {

void type(QWidget *page, const char *field, const QString &text)
{
    child<QLineEdit>(page, field)->setText(text);
}

void click(QWidget *page, const char *button)
{
    QTest::mouseClick(child<QAbstractButton>(page, button), Qt::LeftButton);
}

// The twelve IO boxes by row (0 observe, 1 warning, 2 alarm) and output (0 to 3).
QCheckBox *io_box(QWidget *page, int row, int output)
{
    auto *grid = page->findChild<QGridLayout *>("gridLayout_8");
    if (grid == nullptr || grid->itemAtPosition(row, output) == nullptr)
        return nullptr;
    return qobject_cast<QCheckBox *>(grid->itemAtPosition(row, output)->widget());
}

// The command text of a frame: the payload up to its first zero byte.
std::string text_of(const QByteArray &frame)
{
    if (frame.size() < 12)
        return "<short frame>";
    const int len = rd_u16(reinterpret_cast<const uint8_t *>(frame.constData()) + 6);
    return QByteArray(frame.constData() + 8, qMin(len, frame.size() - 8)).data();
}

void expect_frame(const QByteArray &frame, const std::string &text, size_t L)
{
    pagetest::expect_text_frame(frame, S_PACK, text, L);
}

// What the page emitted, in order: "send:<text>|<note>|<lidartype>", "icon:<0|1>", "reset".
struct Emitted {
    explicit Emitted(Page_Box_V0 *page)
    {
        QObject::connect(page, &Page_Box_V0::sig_sendcmd, page,
                         [this](QByteArray f, QString note, int type) {
                             frames.push_back(f);
                             events.push_back("send:" + text_of(f) + "|" + note.toStdString() + "|"
                                              + std::to_string(type));
                         });
        QObject::connect(page, &Page_Box_V0::sig_iconshow, page,
                         [this](bool on) { events.push_back(on ? "icon:1" : "icon:0"); });
        QObject::connect(page, &Page_Box_V0::sig_reset, page, [this] { events.push_back("reset"); });
        // Never emitted by this page.
        QObject::connect(page, &Page_Box_V0::sig_data, page, [this] { events.push_back("data"); });
        QObject::connect(page, &Page_Box_V0::sig_upgrade, page,
                         [this] { events.push_back("upgrade"); });
        QObject::connect(page, &Page_Box_V0::sig_ipchange, page,
                         [this] { events.push_back("ipchange"); });
    }
    void clear()
    {
        events.clear();
        frames.clear();
    }
    std::vector<std::string> events;
    std::vector<QByteArray> frames;
};

using Prepare = std::function<void(Page_Box_V0 *)>;

struct CommandCase {
    const char *name;
    Prepare fill;         // what the user types or ticks first
    const char *button; // then clicks
    std::string text;   // the command text that goes out
    size_t L;
    const char *note;
};

Prepare fields(std::vector<std::pair<const char *, QString>> values)
{
    return [values](Page_Box_V0 *p) {
        for (const auto &v : values)
            type(p, v.first, v.second);
    };
}

Prepare io_ticked(std::vector<std::pair<int, int>> boxes)
{
    return [boxes](Page_Box_V0 *p) {
        for (const auto &b : boxes)
            QTest::mouseClick(io_box(p, b.first, b.second), Qt::LeftButton);
    };
}

Prepare outputs(std::vector<const char *> on, int polarity)
{
    return [on, polarity](Page_Box_V0 *p) {
        for (const char *name : on)
            QTest::mouseClick(child<QCheckBox>(p, name), Qt::LeftButton);
        child<QComboBox>(p, "cb_pnp")->setCurrentIndex(polarity);
    };
}

const Prepare nothing = [](Page_Box_V0 *) {};

std::vector<std::pair<int, int>> all_io_boxes()
{
    std::vector<std::pair<int, int>> all;
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 4; ++k)
            all.push_back({r, k});
    return all;
}

} // namespace

TEST(BoxPage, EveryCommandFrameByteForByte)
{
    const std::string long_factor(2023, '9'); // "LSFACTOR:" + 2023 + ",12H": exactly 2036 bytes
    const std::vector<CommandCase> cases = {
        {"circles", fields({{"le_cir", "3"}}), "pb_cir", "LSCIR:3H", 8, "set circle num"},
        {"circles empty", nothing, "pb_cir", "LSCIR:H", 8, "set circle num"},
        {"filter points", fields({{"le_fir", "7"}}), "pb_fir", "LSFIR:7H", 8, "set filter point num"},
        {"filter points empty", nothing, "pb_fir", "LSFIR:H", 8, "set filter point num"},
        {"factors", fields({{"le_similar_distance_factor", "5"}, {"le_min_poiny_num", "12"}}),
         "pb_factor", "LSFACTOR:05,12H", 16, "set near points factor"},
        {"factors empty", nothing, "pb_factor", "LSFACTOR:00,00H", 16, "set near points factor"},
        {"factors longer than two, any text",
         fields({{"le_similar_distance_factor", "123"}, {"le_min_poiny_num", "ab"}}), "pb_factor",
         "LSFACTOR:123,abH", 16, "set near points factor"},
        {"factor text holding a placeholder stays text",
         fields({{"le_similar_distance_factor", "%2"}, {"le_min_poiny_num", "7"}}), "pb_factor",
         "LSFACTOR:%2,07H", 16, "set near points factor"},
        {"factors filling a whole frame",
         fields({{"le_similar_distance_factor", QString::fromStdString(long_factor)},
                 {"le_min_poiny_num", "12"}}),
         "pb_factor", "LSFACTOR:" + long_factor + ",12H", 2036, "set near points factor"},
        {"forklift", fields({{"le_length", "450"}, {"le_width", "180"}, {"le_height", "150"}}),
         "pb_carsize", "LSCAR:0450,0180,0150H", 24, "set car detect factor"},
        {"forklift empty", nothing, "pb_carsize", "LSCAR:0000,0000,0000H", 24,
         "set car detect factor"},
        {"height 2.5 m", fields({{"le_lidar_height", "2.5"}}), "pb_set_height", "LSHEIGHT:2500H",
         16, "set lidar height"},
        {"height 0.0015 m truncates", fields({{"le_lidar_height", "0.0015"}}), "pb_set_height",
         "LSHEIGHT:1H", 12, "set lidar height"},
        {"height 65.535 m, the largest", fields({{"le_lidar_height", "65.535"}}), "pb_set_height",
         "LSHEIGHT:65535H", 16, "set lidar height"},
        {"height empty", nothing, "pb_set_height", "LSHEIGHT:0H", 12, "set lidar height"},
        {"height not a number", fields({{"le_lidar_height", "2,5m"}}), "pb_set_height",
         "LSHEIGHT:0H", 12, "set lidar height"},
        {"comparison frame", nothing, "pb_setstaticframe", "LSSFCH", 8, "init first frame"},
        {"no IO box", nothing, "pb_out", "LSOUT:000000H", 16, "set IO board output param"},
        {"every IO box", io_ticked(all_io_boxes()), "pb_out", "LSOUT:0f0f0fH", 16,
         "set IO board output param"},
        {"observe 1, warning 2, alarm 3 and 4", io_ticked({{0, 0}, {1, 1}, {2, 2}, {2, 3}}), "pb_out",
         "LSOUT:01020cH", 16, "set IO board output param"},
        {"polarity default", nothing, "pb_pnp", "LSPNP:00000000H", 16, "set pnp/npn"},
        {"outputs 1 and 3 on, NPN", outputs({"cb_out1", "cb_out3"}, 1), "pb_pnp", "LSPNP:10100001H",
         16, "set pnp/npn"},
        {"every output on, PNP", outputs({"cb_out1", "cb_out2", "cb_out3", "cb_out4"}, 0), "pb_pnp",
         "LSPNP:11110000H", 16, "set pnp/npn"},
    };
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Box_V0 page;
        page.show(); // laid out, so that a click lands on a caption-less box's indicator
        Emitted out(&page);
        c.fill(&page);
        out.clear(); // ticking boxes sends nothing (checked below); only the button counts
        click(&page, c.button);
        EXPECT_TRUE(modal.warnings.empty());
        ASSERT_EQ(out.frames.size(), 1u);
        expect_frame(out.frames[0], c.text, c.L);
        ASSERT_FALSE(out.events.empty());
        EXPECT_EQ(out.events[0], "send:" + c.text + "|" + c.note + "|4");
    }
}

TEST(BoxPage, TheComparisonFrameClearsTheCloudAfterItsCommand)
{
    Page_Box_V0 page;
    Emitted out(&page);
    click(&page, "pb_setstaticframe");
    EXPECT_EQ(out.events,
              (std::vector<std::string>{"send:LSSFCH|init first frame|4", "reset"}));
    // "LSSFCH" is six bytes: two zero bytes fill it to 8, in a 20-byte datagram.
    ASSERT_EQ(out.frames[0].size(), 20);
    EXPECT_EQ(out.frames[0].mid(8, 8), QByteArray("LSSFCH\0\0", 8));
}

TEST(BoxPage, RefusesWhatDoesNotFitAndSendsNothing)
{
    const struct {
        const char *name;
        Prepare fill;
        const char *button;
        const char *warning;
    } cases[] = {
        {"negative height", fields({{"le_lidar_height", "-1"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"negative height under a millimetre", fields({{"le_lidar_height", "-0.0005"}}),
         "pb_set_height", "The lidar height must be between 0 and 65.535 m!"},
        {"65.536 m", fields({{"le_lidar_height", "65.536"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"70 m", fields({{"le_lidar_height", "70"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"too large for a float", fields({{"le_lidar_height", "1e40"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"nan", fields({{"le_lidar_height", "nan"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"inf", fields({{"le_lidar_height", "inf"}}), "pb_set_height",
         "The lidar height must be between 0 and 65.535 m!"},
        {"factor text one byte past a frame",
         fields({{"le_similar_distance_factor", QString(2024, '9')}, {"le_min_poiny_num", "12"}}),
         "pb_factor", "The command is too long to send!"},
        {"factor text of 100000 bytes",
         fields({{"le_similar_distance_factor", "1"}, {"le_min_poiny_num", QString(100000, 'x')}}),
         "pb_factor", "The command is too long to send!"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ModalRecorder modal;
        Page_Box_V0 page;
        // The factor fields are ordinary line edits: lift their length limit as a paste could.
        for (auto *e : page.findChildren<QLineEdit *>())
            e->setMaxLength(200000);
        Emitted out(&page);
        c.fill(&page);
        click(&page, c.button);
        EXPECT_TRUE(out.events.empty());
        EXPECT_EQ(modal.warningLines(), QStringList{QString("error|") + c.warning});
    }
}

TEST(BoxPage, BuildCmdFrameMakesTheVimoQueryAndRefusesWhatDoesNotFit)
{
    // The main window's Vimo-E parameter query uses the same builder.
    pagetest::expect_text_frame(Page_Box_V0::buildCmdFrame(QUERY_PACK, 6, "xxxxxx"), QUERY_PACK,
                                "xxxxxx", 8);
    // A text whose length is a multiple of 4 carries no terminating zero.
    pagetest::expect_text_frame(Page_Box_V0::buildCmdFrame(C_PACK, 8, "LSTFX:1H"), C_PACK,
                                "LSTFX:1H", 8);
    expect_frame(Page_Box_V0::buildCmdFrame(S_PACK, 0, nullptr), "", 0);
    const std::string big(2037, 'a');
    EXPECT_TRUE(Page_Box_V0::buildCmdFrame(S_PACK, 2037, big.data()).isEmpty());
    EXPECT_TRUE(Page_Box_V0::buildCmdFrame(S_PACK, -1, big.data()).isEmpty());
    EXPECT_EQ(Page_Box_V0::buildCmdFrame(S_PACK, 2036, big.data()).size(), 2048);
}

TEST(BoxPage, UploadTypeSequenceAndIconDisplay)
{
    Page_Box_V0 page;
    page.show();
    Emitted out(&page);
    auto *combo = child<QComboBox>(&page, "cb_upload_data_type");
    auto *icons = child<QCheckBox>(&page, "cb_iconshow");

    // Visible before any change; the user may tick it at once.
    ASSERT_TRUE(icons->isVisible());
    QTest::mouseClick(icons, Qt::LeftButton);
    EXPECT_EQ(out.events, (std::vector<std::string>{"icon:1", "reset"}));
    out.clear();

    // "报警数据" keeps the box shown and sends its state.
    combo->setCurrentIndex(2);
    EXPECT_EQ(out.events, (std::vector<std::string>{"send:LSPST:2H|set upload data type|4",
                                                    "icon:1", "reset"}));
    EXPECT_TRUE(icons->isVisible());
    EXPECT_TRUE(icons->isChecked());
    expect_frame(out.frames[0], "LSPST:2H", 8);
    out.clear();

    QTest::mouseClick(icons, Qt::LeftButton);
    EXPECT_EQ(out.events, (std::vector<std::string>{"icon:0", "reset"}));
    QTest::mouseClick(icons, Qt::LeftButton);
    out.clear();

    // "原始数据" hides and unchecks it, and the display falls back to points.
    combo->setCurrentIndex(0);
    EXPECT_EQ(out.events, (std::vector<std::string>{"send:LSPST:0H|set upload data type|4",
                                                    "icon:0", "reset"}));
    EXPECT_FALSE(icons->isVisible());
    EXPECT_FALSE(icons->isChecked());
    out.clear();

    // The index it already shows changes nothing.
    combo->setCurrentIndex(0);
    EXPECT_TRUE(out.events.empty());

    // "修正数据" also hides it.
    combo->setCurrentIndex(1);
    EXPECT_EQ(out.events, (std::vector<std::string>{"send:LSPST:1H|set upload data type|4",
                                                    "icon:0", "reset"}));
    out.clear();

    // A type the box has and the page does not list (3) leaves no valid index: nothing goes back
    // to the box, the display falls back to points.
    combo->setCurrentIndex(3);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(out.events, (std::vector<std::string>{"icon:0", "reset"}));
    EXPECT_FALSE(icons->isVisible());
}

TEST(BoxPage, AnIoBoxClickOnlyTakesTheFocus)
{
    Page_Box_V0 page;
    page.show();
    Emitted out(&page);
    for (const auto &[r, k] : std::vector<std::pair<int, int>>{{0, 0}, {1, 3}, {2, 2}}) {
        QCheckBox *box = io_box(&page, r, k);
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(page.focusWidget(), box);
    }
    EXPECT_TRUE(out.events.empty());
}

TEST(BoxPage, StartsAsTheFormSays)
{
    Page_Box_V0 page;
    EXPECT_EQ(page.objectName(), "Page_Box_V0");
    EXPECT_EQ(page.windowTitle(), "Form");
    EXPECT_EQ(page.size(), QSize(600, 570));
    EXPECT_EQ(page.styleSheet(), "QLineEdit {\n   max-width: 50px;\n}");

    const QString grey10 = "min-width: 10px;min-height: 10px;max-width: 10px;max-height: 10px;"
                           "border-radius: 5px;border:1px solid black;background-color:"
                           "rgb(190,190,190)";
    for (const char *lamp : {"lb_c_alarm", "lb_c_warm", "lb_c_obs", "lb_p_alarm", "lb_p_warm",
                             "lb_p_obs", "lb_base_alarm", "lb_base_warm", "lb_base_obs"}) {
        auto *l = child<QLabel>(&page, lamp);
        EXPECT_EQ(l->styleSheet(), grey10) << lamp;
        EXPECT_TRUE(l->text().isEmpty()) << lamp;
    }
    for (const char *count : {"lb_p_num", "lb_c_num", "lb_base_num"})
        EXPECT_EQ(child<QLabel>(&page, count)->text(), "0") << count;

    auto *combo = child<QComboBox>(&page, "cb_upload_data_type");
    EXPECT_EQ(combo->currentIndex(), 0);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), QString::fromUtf8("报警数据"));
    auto *pnp = child<QComboBox>(&page, "cb_pnp");
    EXPECT_EQ(pnp->currentText(), "PNP");
    EXPECT_EQ(pnp->itemText(1), "NPN");
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_iconshow")->isHidden());
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_iconshow")->isChecked());
    for (const char *out : {"cb_out1", "cb_out2", "cb_out3", "cb_out4"})
        EXPECT_FALSE(child<QCheckBox>(&page, out)->isChecked()) << out;
    for (QLineEdit *e : page.findChildren<QLineEdit *>())
        EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    EXPECT_EQ(child<QGroupBox>(&page, "groupBox_6")->alignment(), Qt::AlignCenter);
    EXPECT_GE(child<QGroupBox>(&page, "groupBox_alarminfo")->minimumHeight(), 100);

    // Twelve caption-less IO boxes with ids 4 r + k in gridLayout_8, in a non-exclusive group.
    auto *group = page.findChild<QButtonGroup *>();
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->exclusive());
    EXPECT_EQ(group->buttons().size(), 12);
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 4; ++k) {
            QCheckBox *box = io_box(&page, r, k);
            ASSERT_NE(box, nullptr) << r << "," << k;
            EXPECT_EQ(group->id(box), 4 * r + k);
            EXPECT_TRUE(box->text().isEmpty());
            EXPECT_FALSE(box->isChecked());
            EXPECT_FALSE(box->accessibleName().isEmpty());
            EXPECT_EQ(box->styleSheet(), "QCheckBox::indicator {\nwidth: 20px;\nheight: 20px;\n}; ");
        }
    }

    // The counts take one digit, the forklift sizes 1 to 9999.
    page.show();
    const struct {
        const char *field;
        const char *typed;
        const char *kept;
    } typing[] = {{"le_cir", "12", "1"}, {"le_fir", "x9", "9"}, {"le_length", "45000", "4500"},
                  {"le_width", "-7", "7"}, {"le_height", "abc150", "150"}};
    for (const auto &t : typing) {
        auto *e = child<QLineEdit>(&page, t.field);
        QTest::keyClicks(e, t.typed);
        EXPECT_EQ(e->text(), t.kept) << t.field;
    }
    // The factor fields take any text.
    QTest::keyClicks(child<QLineEdit>(&page, "le_similar_distance_factor"), "a-1");
    EXPECT_EQ(child<QLineEdit>(&page, "le_similar_distance_factor")->text(), "a-1");

    page.setIP("127.0.0.2");
    EXPECT_EQ(page.boxIP(), "127.0.0.2");
}

TEST(BoxPage, LampStyles)
{
    QLabel lamp("text");
    const std::string prefix = "min-width: %1px;min-height: %1px;max-width: %1px;max-height: %1px;"
                               "border-radius: %2px;border:1px solid black;background-color:";
    const struct {
        int colour;
        int size;
        const char *background;
    } cases[] = {{0, 10, "rgb(190,190,190)"}, {1, 10, "rgb(0,255,0)"}, {2, 15, "rgb(0,0,255)"},
                 {3, 20, "rgb(255,255,0)"},   {4, 9, "rgb(255,0,0)"},   {5, 10, ""},
                 {-1, 10, ""}};
    for (const auto &c : cases) {
        Page_Box_V0::setLampStyle(&lamp, c.colour, c.size);
        EXPECT_TRUE(lamp.text().isEmpty());
        const QString want = QString::fromStdString(prefix).arg(c.size).arg(c.size / 2) + c.background;
        EXPECT_EQ(lamp.styleSheet(), want) << c.colour;
    }
}

class BoxPageTranslated : public ::testing::TestWithParam<const char *> {};

TEST_P(BoxPageTranslated, NotesAndWarningsAreInTheLanguage)
{
    const QString language = GetParam();
    testsupport::ScopedTranslation translation(language);
    ASSERT_TRUE(translation.loaded());
    // The program's font for the language: the Chinese captions are set larger.
    const QFont font = QApplication::font();
    QApplication::setFont(QFont("Arial", language == "English" ? 8 : 10));
    testsupport::ModalRecorder modal;
    Page_Box_V0 page;
    page.show();
    QApplication::processEvents();
    // Shown at the form's size: no row of the alarm grid is squeezed below its text.
    for (QLabel *l : child<QGroupBox>(&page, "groupBox_alarminfo")->findChildren<QLabel *>())
        if (!l->text().isEmpty()) // the lamps are 10-pixel discs
            EXPECT_GE(l->height(), l->sizeHint().height()) << l->objectName().toStdString();
    QApplication::setFont(font);
    Emitted out(&page);
    for (const char *b : {"pb_cir", "pb_fir", "pb_factor", "pb_carsize", "pb_set_height",
                          "pb_setstaticframe", "pb_out", "pb_pnp"})
        click(&page, b);
    child<QComboBox>(&page, "cb_upload_data_type")->setCurrentIndex(2);
    type(&page, "le_lidar_height", "-1");
    click(&page, "pb_set_height");
    type(&page, "le_min_poiny_num", QString(3000, 'x'));
    click(&page, "pb_factor");
    ASSERT_EQ(modal.warnings.size(), 2u);

    QStringList notes;
    for (const std::string &e : out.events)
        if (e.rfind("send:", 0) == 0)
            notes << QString::fromStdString(e).section('|', 1, 1);
    ASSERT_EQ(notes.size(), 9);
    if (language == "English") {
        EXPECT_EQ(notes[0], "set circle num");
        EXPECT_EQ(modal.warnings[0].title, "error");
        EXPECT_TRUE(testsupport::cjk_texts(testsupport::visible_texts(&page)).isEmpty());
    } else {
        for (const QString &n : notes)
            EXPECT_TRUE(testsupport::has_cjk(n)) << n.toStdString();
        for (const auto &w : modal.warnings) {
            EXPECT_TRUE(testsupport::has_cjk(w.title)) << w.title.toStdString();
            EXPECT_TRUE(testsupport::has_cjk(w.text)) << w.text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, BoxPageTranslated, ::testing::Values("English", "Chinese"));

namespace {

constexpr int kBoxPort = 6002;

// The page wired to a running box receiver the way a box session wires them: its frames go to
// the receiver's socket, the upload type the receiver reports sets the page's combo box.
class BoxPageWithBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        register_point_meta_types();
        page.show();
        ASSERT_TRUE(box.ok()) << "port 6002 on 127.0.0.2";
        box.set_answer_commands(true);
        rx = std::make_unique<RecvBoxDataProc>();
        rx->setBindAddress("127.0.0.1");
        rx->init(kBoxPort, "127.0.0.2", kBoxPort);
        probe.watch(rx.get());
        QObject::connect(&page, &Page_Box_V0::sig_sendcmd, &page,
                         [this](QByteArray f, QString, int type) {
                             if (type == LIDAR_ALG_BOX)
                                 rx->SendCmd(f.constData(), f.size());
                         });
        QObject::connect(rx.get(), &RecvBoxDataProc::sig_uploadtype, &page, [this](int t) {
            ++upload_reports;
            child<QComboBox>(&page, "cb_upload_data_type")->setCurrentIndex(t);
        });
        rx->start();
        ASSERT_TRUE(box.peer().wait_for(1, 5000)); // "hello"
        box.peer().clear_received();
    }
    void TearDown() override
    {
        rx->stop();
        ASSERT_TRUE(rx->wait(5000));
        drain_events();
    }

    // The text commands the box has received so far, in order.
    std::vector<std::string> box_texts()
    {
        std::vector<std::string> out;
        for (const Datagram &d : box.peer().received())
            out.push_back(text_of(QByteArray(reinterpret_cast<const char *>(d.bytes.data()),
                                             int(d.bytes.size()))));
        return out;
    }

    static std::vector<uint8_t> frame_end(uint8_t upload_type)
    {
        LhabSpec s;
        s.upload_type = upload_type;
        s.frame_flag = BOX_FRAME_END;
        s.points = {{1.0f, 2.0f, 3.0f, 4}};
        return make_lhab(s);
    }

    FakeBox box;
    Page_Box_V0 page;
    Emitted out{&page};
    std::unique_ptr<RecvBoxDataProc> rx;
    ReceiverProbe probe;
    int upload_reports = 0;
};

} // namespace

TEST_F(BoxPageWithBox, EverySettingReachesTheBoxAndIsAnswered)
{
    type(&page, "le_cir", "4");
    type(&page, "le_fir", "6");
    type(&page, "le_similar_distance_factor", "5");
    type(&page, "le_min_poiny_num", "12");
    type(&page, "le_length", "450");
    type(&page, "le_width", "180");
    type(&page, "le_height", "150");
    type(&page, "le_lidar_height", "2.5");
    QTest::mouseClick(io_box(&page, 2, 3), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(&page, "cb_out2"), Qt::LeftButton);
    child<QComboBox>(&page, "cb_pnp")->setCurrentIndex(1);
    for (const char *b : {"pb_cir", "pb_fir", "pb_factor", "pb_carsize", "pb_set_height",
                          "pb_setstaticframe", "pb_out", "pb_pnp"})
        click(&page, b);
    child<QComboBox>(&page, "cb_upload_data_type")->setCurrentIndex(1);

    const std::vector<std::string> want = {"LSCIR:4H",        "LSFIR:6H",
                                           "LSFACTOR:05,12H", "LSCAR:0450,0180,0150H",
                                           "LSHEIGHT:2500H",  "LSSFCH",
                                           "LSOUT:000008H",   "LSPNP:01000001H",
                                           "LSPST:1H"};
    ASSERT_TRUE(box.peer().wait_for(want.size(), 5000));
    EXPECT_EQ(box_texts(), want);
    // Byte for byte what the page emitted.
    const std::vector<Datagram> got = box.peer().received();
    ASSERT_EQ(out.frames.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i].bytes, bytes(out.frames[i])) << want[i];
    // Each one answered with "OK" in a settings reply, posted for the message log.
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == want.size(); }));
    for (const Posted &p : probe.of_type(MSG_CMD_INFO))
        EXPECT_EQ(p.data, QByteArray("OK\0\0", 4));
}

TEST_F(BoxPageWithBox, TheUploadTypeTheBoxReportsSetsTheComboBoxOnce)
{
    auto *combo = child<QComboBox>(&page, "cb_upload_data_type");
    // The first frame always reports its type; 0 is what the combo box already shows.
    box.send(frame_end(0));
    ASSERT_TRUE(wait_until([&] { return upload_reports == 1; }));
    EXPECT_TRUE(out.events.empty());

    // A change to alarm data: the page sets it back to the box once, shows the icon box.
    box.send(frame_end(2));
    box.send(frame_end(2));
    box.send(frame_end(2));
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 4; }));
    EXPECT_EQ(upload_reports, 2);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_FALSE(child<QCheckBox>(&page, "cb_iconshow")->isHidden());
    ASSERT_TRUE(box.peer().wait_for(1, 5000));
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"LSPST:2H"}));

    // A type the page does not list: no valid index, nothing back to the box.
    box.send(frame_end(3));
    ASSERT_TRUE(wait_until([&] { return upload_reports == 3; }));
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_TRUE(child<QCheckBox>(&page, "cb_iconshow")->isHidden());
    // The marker: a last command from the page arrives after anything the report sent.
    click(&page, "pb_setstaticframe");
    ASSERT_TRUE(box.peer().wait_for(2, 5000));
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"LSPST:2H", "LSSFCH"}));
}
