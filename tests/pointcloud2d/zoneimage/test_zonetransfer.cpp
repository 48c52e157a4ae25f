// The 512-byte zone exchange with the algorithm box, against a fake box on loopback. A small
// harness stands in for the box receiver: it frames and sends what the engine asks for, hands
// the engine every zone reply, and repeats an unanswered request like the receiver's re-send
// queue (four sends in all, then it gives up and tells the engine).

#include "checksum.h"
#include "fakebox.h"
#include "lhframe.h"
#include "sockethelpers.h"
#include "zonealarm.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>

using namespace ZONEALARM;

namespace {

constexpr uint32_t SIZE = 0x34000;
constexpr int GAVE_UP = 99;

struct Report {
    int rate;
    std::string title;
    std::string info;
};

class BoxHarness {
public:
    explicit BoxHarness(FakeBox &box) : box_(box)
    {
        sock_ = udp_open(0, false, "127.0.0.1");
        QObject::connect(&engine, &ZoneAlarm::sig_ZoneCMD,
                         [this](int mode, int sn, int len, QByteArray cmd, bool isrepeat) {
                             EXPECT_FALSE(isrepeat);
                             EXPECT_EQ(len, cmd.size());
                             send(mode, sn, cmd);
                         });
        QObject::connect(&engine, &ZoneAlarm::sig_progress, [this](int rate, QString title, QString info) {
            reports.push_back({rate, title.toStdString(), info.toStdString()});
        });
    }
    ~BoxHarness() { udp_close(sock_); }

    bool ok() const { return sock_ != INVALID_SOCK; }

    // Runs the exchange until the engine ends it (its result) or the harness gives up (GAVE_UP).
    int run(int resend_ms = 250)
    {
        std::vector<uint8_t> buf(8192);
        for (int turns = 0; turns < 100000; ++turns) {
            pollfd p{sock_, POLLIN, 0};
            const int ready = ::poll(&p, 1, resend_ms);
            if (ready <= 0) {
                if (sends_ >= 4) {
                    engine.exchangeTimeout();
                    return GAVE_UP;
                }
                udp_send_to(sock_, box_.ip().c_str(), box_.port(), last_.data(), last_.size());
                ++sends_;
                continue;
            }
            const ssize_t n = ::recv(sock_, buf.data(), buf.size(), 0);
            if (n < 4 || buf[0] != 'L' || buf[1] != 'H')
                continue;
            const uint16_t cmd = rd_u16(&buf[2]);
            int r;
            if (cmd == 0xA5B8)
                r = engine.getZoneRev(buf.data(), size_t(n), int(rng_() % 65535));
            else if (cmd == 0xA5AC)
                r = engine.setZoneRev(buf.data(), size_t(n));
            else
                continue;
            results.push_back(r);
            if (r != -2 && r != -1 && r != 0)
                return r;
        }
        return GAVE_UP;
    }

    ZoneAlarm engine;
    std::vector<Report> reports;
    std::vector<int> results;
    int requests = 0;

private:
    void send(int mode, int sn, const QByteArray &cmd)
    {
        last_ = lh_make_crc_frame(uint16_t(mode), uint16_t(sn), cmd.constData(), size_t(cmd.size()));
        udp_send_to(sock_, box_.ip().c_str(), box_.port(), last_.data(), last_.size());
        sends_ = 1;
        ++requests;
    }

    FakeBox &box_;
    int sock_ = INVALID_SOCK;
    std::vector<uint8_t> last_;
    int sends_ = 0;
    std::mt19937 rng_{7};
};

ZoneShape shape(int kind, int zone, int area, std::vector<double> p, int count = 2)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    for (size_t i = 0; i < p.size(); ++i)
        s.param[i] = p[i];
    s.point_count = count;
    return s;
}

zones sample_table()
{
    zones t;
    t.shapes[t.count++] = shape(ZONE_RECTANGLE, 0, 2, {-1000, -1000, 1000, 1000});
    t.shapes[t.count++] = shape(ZONE_SECTOR, 0, 1, {300, 1200, 3000, 1000});
    t.shapes[t.count++] = shape(ZONE_ELLIPSE, 3, 0, {2000, 4000, 1000, 600});
    t.shapes[t.count++] = shape(ZONE_POLYGON, 7, 2, {0, 1000, 1500, 2500, -1500, 2500}, 3);
    t.shapes[t.count++] = shape(ZONE_SUBTRACT, 7, 0, {-200, 1800, 200, 1800, 0, 2200}, 3);
    return t;
}

std::vector<uint8_t> image_of(const zones &t)
{
    ZoneAlarm z;
    z.buildZoneImage(t);
    return std::vector<uint8_t>(z.getZoneImage(), z.getZoneImage() + SIZE);
}

std::string hex(uint32_t v)
{
    return QString::number(v, 16).toStdString();
}

class ZoneTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(box.ok());
        box.set_answer_zones(true);
        box.start();
    }
    void TearDown() override { box.stop(); }

    FakeBox box{0};
};

} // namespace

TEST_F(ZoneTransfer, WriteThenReadBack)
{
    const zones table = sample_table();
    BoxHarness w(box);
    ASSERT_TRUE(w.ok());
    w.engine.setZone(table, 4321);
    ASSERT_EQ(w.run(2000), 1);
    const std::vector<uint8_t> image(w.engine.getZoneImage(), w.engine.getZoneImage() + SIZE);

    // Erase, 416 pieces in order, reload; the device reloaded a complete image.
    std::vector<uint32_t> expected = {0xFD00EEEE};
    for (uint32_t o = 0; o < SIZE; o += 512)
        expected.push_back(o);
    expected.push_back(0xFD0010AD);
    EXPECT_EQ(box.write_offsets(), expected);
    EXPECT_EQ(box.erase_count(), 1);
    EXPECT_EQ(box.reload_count(), 1);
    EXPECT_EQ(box.good_reload_count(), 1);
    EXPECT_EQ(box.erase_size(), SIZE);
    EXPECT_EQ(box.erase_check(), crc32_words(image.data(), SIZE / 4));
    EXPECT_NE(box.erase_check(), rd_u32(&image[0x0C]));
    EXPECT_EQ(box.zone_store(), image);

    // 0 init, 20 ZoneDef already, 25 OP_ZONE_ERASE, 415 pieces from 30 to 89, 95, 100.
    ASSERT_EQ(w.reports.size(), 3u + 415u + 2u);
    for (const Report &r : w.reports)
        EXPECT_EQ(r.title, "write alarm zone");
    EXPECT_EQ(w.reports[0].rate, 0);
    EXPECT_EQ(w.reports[0].info, "init");
    EXPECT_EQ(w.reports[1].rate, 20);
    EXPECT_EQ(w.reports[1].info, "ZoneDef already");
    EXPECT_EQ(w.reports[2].rate, 25);
    EXPECT_EQ(w.reports[2].info, "OP_ZONE_ERASE");
    for (int i = 0; i < 415; ++i) {
        const Report &r = w.reports[size_t(3 + i)];
        const uint32_t next = uint32_t(i + 1) * 512;
        EXPECT_EQ(r.info, "offset:" + hex(next) + " total:34000");
        EXPECT_EQ(r.rate, int(double(next) / SIZE * 100 * 0.6 + 30));
    }
    EXPECT_EQ(w.reports[3].rate, 30);
    EXPECT_EQ(w.reports[3 + 414].rate, 89);
    EXPECT_EQ(w.reports[418].rate, 95);
    EXPECT_EQ(w.reports[418].info, "OP_ZONE_RELOAD");
    EXPECT_EQ(w.reports[419].rate, 100);
    EXPECT_EQ(w.reports[419].info, "success");

    // Read it back with a fresh engine.
    BoxHarness r(box);
    r.engine.getZone(99);
    ASSERT_EQ(r.run(2000), 1);
    std::vector<uint32_t> reads = {0xFD009E21};
    for (uint32_t o = 0; o < SIZE; o += 512)
        reads.push_back(o);
    EXPECT_EQ(box.read_offsets(), reads);

    // 0 query, 5 query, 416 pieces from 30 to 90, then 90 and 100 with empty texts.
    ASSERT_EQ(r.reports.size(), 2u + 416u + 2u);
    for (const Report &p : r.reports)
        EXPECT_EQ(p.title, "read alarm zone");
    EXPECT_EQ(r.reports[0].rate, 0);
    EXPECT_EQ(r.reports[0].info, "query");
    EXPECT_EQ(r.reports[1].rate, 5);
    EXPECT_EQ(r.reports[1].info, "query");
    for (int i = 0; i < 416; ++i) {
        const Report &p = r.reports[size_t(2 + i)];
        EXPECT_EQ(p.info, "offset:" + hex(uint32_t(i) * 512) + " total:34000");
        EXPECT_EQ(p.rate, int(double(uint32_t(i) * 512 + 512) / SIZE * 0.6 * 100 + 30));
    }
    EXPECT_EQ(r.reports[2].rate, 30);
    EXPECT_EQ(r.reports[417].rate, 90);
    EXPECT_EQ(r.reports[418].rate, 90);
    EXPECT_EQ(r.reports[418].info, "");
    EXPECT_EQ(r.reports[419].rate, 100);
    EXPECT_EQ(r.reports[419].info, "");

    // The assembled image is the one written, and it passes both checks.
    const std::vector<uint8_t> got(r.engine.getZoneImage(), r.engine.getZoneImage() + SIZE);
    EXPECT_EQ(got, image);
    EXPECT_EQ(crc32_words(got.data(), SIZE / 4), box.erase_check());
    EXPECT_EQ(crc32_words(got.data() + 0x10, (SIZE - 0x10) / 4), rd_u32(&got[0x0C]));

    // The decoded table is the one written (it is in zone order already).
    const zones &back = r.engine.getZones();
    ASSERT_EQ(back.count, table.count);
    for (int i = 0; i < table.count; ++i) {
        EXPECT_EQ(back.shapes[i].kind, table.shapes[i].kind);
        EXPECT_EQ(back.shapes[i].zone_id, table.shapes[i].zone_id);
        EXPECT_EQ(back.shapes[i].area, table.shapes[i].area);
        EXPECT_EQ(back.shapes[i].point_count, table.shapes[i].point_count);
        for (int j = 0; j < 40; ++j)
            EXPECT_EQ(back.shapes[i].param[j], table.shapes[i].param[j]) << i << " " << j;
    }
}

TEST_F(ZoneTransfer, ReadFailures)
{
    struct Case {
        const char *what;
        std::function<void(FakeBox::Faults &, std::vector<uint8_t> &)> fault;
        int result;       // what the exchange ends with
        Report expected;  // a report that must appear
    };
    const std::string long_text = "The alarm zone is not initialized or there is an error writing. "
                                   "Please clear the alarm zone and read again";
    const Case cases[] = {
        {"wrong version", [](auto &f, auto &) { f.version = 0x100; }, GAVE_UP, {-1, "", long_text}},
        {"short piece", [](auto &f, auto &) { f.short_piece = 7; }, -3, {-4, "", "sub packet len 256 !=512"}},
        {"piece out of range", [](auto &f, auto &) { f.out_of_range_piece = 5; }, GAVE_UP,
         {-3, "", "error:212992 + 512 > 212992"}},
        {"bad transfer check", [](auto &f, auto &) { f.bad_transfer_check = true; }, -4, {-5, "", ""}},
        {"bad header", [](auto &, auto &img) { img[0] = 'Q'; }, -4, {-6, "", "bad zone header"}},
        {"bad image check", [](auto &, auto &img) { img[0x0C] ^= 0x55; }, -4, {-7, "", "crc error"}},
        // Frame errors are reported and the request is repeated; the read then completes.
        {"bad frame check once", [](auto &f, auto &) { f.bad_crc_piece = 10; }, 1, {5, "", "ALL CRC verification failed"}},
        {"piece shorter than its frame once", [](auto &f, auto &) { f.truncated_piece = 3; }, 1,
         {5, "", "ALL CRC verification failed"}},
    };
    const std::vector<uint8_t> good = image_of(sample_table());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeBox::Faults f;
        std::vector<uint8_t> img = good;
        c.fault(f, img);
        box.set_faults(f);
        box.set_zone_store(img);
        BoxHarness h(box);
        h.engine.getZone(1);
        EXPECT_EQ(h.run(120), c.result);
        bool found = false;
        for (const Report &r : h.reports)
            if (r.rate == c.expected.rate && (c.expected.info.empty() || r.info == c.expected.info))
                found = true;
        EXPECT_TRUE(found) << "no report " << c.expected.rate << " " << c.expected.info;
        if (c.result == 1) {
            EXPECT_EQ(h.reports.back().rate, 100);
            EXPECT_EQ(h.engine.getZones().count, sample_table().count);
        } else {
            // A failed read ends on a negative rate and hands out no table.
            EXPECT_LT(h.reports.back().rate, 0);
            for (const Report &r : h.reports)
                EXPECT_NE(r.rate, 100);
            EXPECT_EQ(h.engine.getZones().count, 0);
        }
        if (c.result == GAVE_UP) {
            EXPECT_EQ(h.reports.back().rate, ZoneAlarm::RATE_TIMEOUT);
            EXPECT_EQ(h.reports.back().info, "timeout");
        }
    }

    // The transfer-check text names both checks in hexadecimal.
    FakeBox::Faults f;
    f.bad_transfer_check = true;
    box.set_faults(f);
    box.set_zone_store(good);
    BoxHarness h(box);
    h.engine.getZone(1);
    ASSERT_EQ(h.run(120), -4);
    const uint32_t pc = crc32_words(good.data(), SIZE / 4);
    EXPECT_EQ(h.reports.back().info, "crc error:PC:" + hex(pc) + " :MCU:" + hex(pc ^ 0x1234));
}

TEST_F(ZoneTransfer, SizeAnswerOtherThanTheImageStopsTheReadSilently)
{
    FakeBox::Faults f;
    f.size_answer = 0x30000;
    box.set_faults(f);
    BoxHarness h(box);
    h.engine.getZone(1);
    EXPECT_EQ(h.run(100), GAVE_UP);
    for (int r : h.results)
        EXPECT_EQ(r, -1);
    EXPECT_EQ(h.results.size(), 4u); // the query was sent four times
    ASSERT_EQ(h.reports.size(), 2u);
    EXPECT_EQ(h.reports[0].rate, 0);
    EXPECT_EQ(h.reports[0].info, "query");
    EXPECT_EQ(h.reports[1].rate, ZoneAlarm::RATE_TIMEOUT);
    // No piece was ever asked for.
    for (uint32_t o : box.read_offsets())
        EXPECT_EQ(o, 0xFD009E21u);
}

TEST_F(ZoneTransfer, WriteFailures)
{
    struct Case {
        const char *what;
        std::function<void(FakeBox::Faults &)> fault;
        int result;
        Report last;
    };
    const Case cases[] = {
        {"bad reply frame", [](auto &f) { f.bad_crc_write_reply = true; }, -3, {ZoneAlarm::RATE_WRITE_BAD_FRAME, "", "crc error"}},
        {"device refuses", [](auto &f) { f.write_status = 3; }, GAVE_UP, {ZoneAlarm::RATE_TIMEOUT, "", "timeout"}},
        {"device silent", [](auto &f) { f.silent = true; }, GAVE_UP, {ZoneAlarm::RATE_TIMEOUT, "", "timeout"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeBox::Faults f;
        c.fault(f);
        box.set_faults(f);
        const int reloads = box.reload_count();
        BoxHarness h(box);
        h.engine.setZone(sample_table(), 5);
        EXPECT_EQ(h.run(100), c.result);
        ASSERT_FALSE(h.reports.empty());
        EXPECT_EQ(h.reports.back().rate, c.last.rate);
        EXPECT_EQ(h.reports.back().info, c.last.info);
        EXPECT_EQ(h.reports.back().title, "write alarm zone");
        EXPECT_EQ(box.reload_count(), reloads); // never told to reload
        // A reply that arrives after the write ended changes nothing.
        std::vector<uint8_t> payload(12, 0);
        wr_u32(&payload[0], 0x101);
        wr_u32(&payload[4], 0xFD0010AD);
        const std::vector<uint8_t> late = lh_make_crc_frame(0xA5AC, 1, payload.data(), payload.size());
        const size_t before = h.reports.size();
        EXPECT_EQ(h.engine.setZoneRev(late.data(), late.size()), 0);
        EXPECT_EQ(h.reports.size(), before);
    }
}

TEST_F(ZoneTransfer, RepeatedAndStaleEchoesAreIgnored)
{
    struct Case {
        const char *what;
        std::function<void(FakeBox::Faults &)> fault;
    };
    const Case cases[] = {
        {"every echo twice", [](auto &f) { f.duplicate_echoes = true; }},
        {"the previous echo after each", [](auto &f) { f.stale_echoes = true; }},
        {"the last piece's echo right after the erase", [](auto &f) { f.early_last_echo = true; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeBox::Faults f;
        c.fault(f);
        box.set_faults(f);
        const int good_before = box.good_reload_count();
        const int reloads_before = box.reload_count();
        const size_t writes_before = box.write_offsets().size();
        BoxHarness h(box);
        h.engine.setZone(sample_table(), 5);
        ASSERT_EQ(h.run(2000), 1);
        // Each request went out once: erase, 416 pieces, one reload of a complete image.
        EXPECT_EQ(h.requests, 418);
        EXPECT_EQ(box.write_offsets().size() - writes_before, 418u);
        EXPECT_EQ(box.reload_count() - reloads_before, 1);
        EXPECT_EQ(box.good_reload_count() - good_before, 1);
        EXPECT_EQ(h.reports.size(), 420u);
        EXPECT_EQ(h.reports.back().info, "success");
    }
}

// --- reply handling without a network ---------------------------------------------------------

namespace {

std::vector<uint8_t> read_reply(uint32_t version, uint32_t offset, uint16_t length, size_t payload_len = 524)
{
    std::vector<uint8_t> p(payload_len, 0);
    if (payload_len >= 4)
        wr_u32(&p[0], version);
    if (payload_len >= 8)
        wr_u32(&p[4], offset);
    if (payload_len >= 10)
        wr_u16(&p[8], length);
    return lh_make_crc_frame(0xA5B8, 1, p.data(), p.size());
}

std::vector<uint8_t> size_answer(uint32_t size)
{
    std::vector<uint8_t> p(20, 0);
    wr_u32(&p[0], 0x101);
    wr_u32(&p[4], 0xFD0010F0);
    wr_u32(&p[12], size);
    wr_u32(&p[16], 0);
    return lh_make_crc_frame(0xA5B8, 1, p.data(), p.size());
}

struct Recorder {
    explicit Recorder(ZoneAlarm &z)
    {
        QObject::connect(&z, &ZoneAlarm::sig_progress,
                         [this](int rate, QString, QString info) { reports.push_back({rate, "", info.toStdString()}); });
        QObject::connect(&z, &ZoneAlarm::sig_ZoneCMD,
                         [this](int mode, int, int, QByteArray cmd, bool) { sent.push_back({mode, cmd}); });
    }
    std::vector<Report> reports;
    std::vector<std::pair<int, QByteArray>> sent;
};

} // namespace

TEST(ZoneReplies, ReadRepliesAreCheckedBeforeAnythingIsCopied)
{
    ZoneAlarm z;
    Recorder rec(z);
    z.getZone(1);
    ASSERT_EQ(rec.sent.size(), 1u);
    EXPECT_EQ(rec.sent[0].first, 0x5A47);
    ASSERT_EQ(rec.sent[0].second.size(), 32);
    const auto *q = reinterpret_cast<const uint8_t *>(rec.sent[0].second.constData());
    EXPECT_EQ(rd_u32(q), 0x101u);
    EXPECT_EQ(rd_u32(q + 4), 0xFD009E21u);
    EXPECT_EQ(rd_u32(q + 8), 0u);

    // A piece before any size answer: nothing announced, so it is out of range.
    std::vector<uint8_t> piece = read_reply(0x101, 0, 512);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    EXPECT_EQ(rec.reports.back().rate, -3);
    EXPECT_EQ(rec.reports.back().info, "error:0 + 512 > 0");

    // An announce of another size is not kept: the pieces it would allow stay out of range.
    std::vector<uint8_t> big = size_answer(0x100000);
    EXPECT_EQ(z.getZoneRev(big.data(), big.size(), 2), -1);
    piece = read_reply(0x101, 0x40000, 512);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    EXPECT_EQ(rec.reports.back().info, "error:262144 + 512 > 0");

    std::vector<uint8_t> good = size_answer(SIZE);
    EXPECT_EQ(z.getZoneRev(good.data(), good.size(), 2), 0);
    EXPECT_EQ(rec.reports.back().rate, 5);

    // Offsets near 4 GiB do not wrap around the range check.
    piece = read_reply(0x101, 0xFFFFFF00, 512);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    EXPECT_EQ(rec.reports.back().info, "error:4294967040 + 512 > 212992");
    // Not on a piece boundary: never asked for, ignored.
    const size_t n_reports = rec.reports.size();
    piece = read_reply(0x101, 100, 512);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    EXPECT_EQ(rec.reports.size(), n_reports);
    // A piece whose payload stops short of its 512 bytes is a bad frame.
    piece = read_reply(0x101, 0, 512, 100);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    EXPECT_EQ(rec.reports.back().info, "ALL CRC verification failed");
    // A datagram shorter than its length field says.
    piece = read_reply(0x101, 0, 512);
    piece.resize(piece.size() - 10);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), -2);
    // Payload too short for the version and offset.
    std::vector<uint8_t> tiny = lh_make_crc_frame(0xA5B8, 1, "\x01\x01\0\0", 4);
    EXPECT_EQ(z.getZoneRev(tiny.data(), tiny.size(), 2), -2);
    // Another command, or not an "LH" frame: -1 without a report.
    const size_t before = rec.reports.size();
    std::vector<uint8_t> other = good;
    other[2] = 0xAC;
    EXPECT_EQ(z.getZoneRev(other.data(), other.size(), 2), -1);
    EXPECT_EQ(z.getZoneRev(good.data(), 3, 2), -1);
    EXPECT_EQ(z.getZoneRev(nullptr, 0, 2), -1);
    EXPECT_EQ(rec.reports.size(), before);

    // A piece that arrives twice is stored twice and asks for the next piece twice.
    rec.sent.clear();
    piece = read_reply(0x101, 512, 512);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 2), 0);
    EXPECT_EQ(z.getZoneRev(piece.data(), piece.size(), 3), 0);
    ASSERT_EQ(rec.sent.size(), 2u);
    EXPECT_EQ(rd_u32(reinterpret_cast<const uint8_t *>(rec.sent[1].second.constData()) + 4), 1024u);
}

TEST(ZoneReplies, WriteRepliesOnlyMoveTheWriteOnForTheLastRequest)
{
    ZoneAlarm z;
    Recorder rec(z);
    auto echo = [](uint32_t offset, uint32_t status = 0) {
        std::vector<uint8_t> p(12, 0);
        wr_u32(&p[0], 0x101);
        wr_u32(&p[4], offset);
        wr_u32(&p[8], status);
        return lh_make_crc_frame(0xA5AC, 1, p.data(), p.size());
    };
    zones t;
    t.count = 1;
    t.shapes[0] = make_default_shape(ZONE_RECTANGLE, 0, 2);
    z.setZone(t, 77);
    ASSERT_EQ(rec.sent.size(), 1u);
    const auto *erase = reinterpret_cast<const uint8_t *>(rec.sent[0].second.constData());
    EXPECT_EQ(rec.sent[0].first, 0x5A53);
    EXPECT_EQ(rec.sent[0].second.size(), 524);
    EXPECT_EQ(rd_u32(erase + 4), 0xFD00EEEEu);
    EXPECT_EQ(rd_u16(erase + 8), 0u);
    EXPECT_EQ(rd_u32(erase + 12), SIZE);
    EXPECT_EQ(rd_u32(erase + 16), crc32_words(z.getZoneImage(), SIZE / 4));

    std::vector<uint8_t> e = echo(512); // not the last request
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0);
    EXPECT_EQ(rec.sent.size(), 1u);
    e = echo(0xFD00EEEE, 1); // refused by the device: ignored
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0);
    EXPECT_EQ(rec.sent.size(), 1u);
    e = echo(0xFD00EEEE);
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0);
    ASSERT_EQ(rec.sent.size(), 2u);
    const auto *first = reinterpret_cast<const uint8_t *>(rec.sent[1].second.constData());
    EXPECT_EQ(rd_u32(first + 4), 0u);
    EXPECT_EQ(rd_u16(first + 8), 512u);
    EXPECT_EQ(0, memcmp(first + 12, z.getZoneImage(), 512));
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0); // the erase echo again
    EXPECT_EQ(rec.sent.size(), 2u);
    e = echo(0xFD0010AD); // a reload echo before the reload was asked for
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0);
    EXPECT_EQ(rec.sent.size(), 2u);

    // Not a write reply.
    std::vector<uint8_t> junk = {'L', 'X', 0xAC, 0xA5};
    EXPECT_EQ(z.setZoneRev(junk.data(), junk.size()), -1);
    EXPECT_EQ(rec.reports.back().rate, 25);
    EXPECT_EQ(rec.reports.back().info, "package head is error");

    // A reply cut short ends the write with a negative rate.
    e = echo(0);
    e.resize(e.size() - 1);
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), -3);
    EXPECT_EQ(rec.reports.back().rate, ZoneAlarm::RATE_WRITE_BAD_FRAME);
    EXPECT_EQ(rec.reports.back().info, "crc error");
    e = echo(0);
    EXPECT_EQ(z.setZoneRev(e.data(), e.size()), 0); // the write is over
    EXPECT_EQ(rec.sent.size(), 2u);
}

TEST(ZoneReplies, ArbitraryDatagramsNeverReadOutOfBounds)
{
    // Random datagrams, each in a buffer of exactly its own length.
    std::mt19937 rng(99);
    ZoneAlarm z;
    Recorder rec(z);
    zones t;
    z.getZone(1);
    std::vector<uint8_t> good = size_answer(SIZE);
    z.getZoneRev(good.data(), good.size(), 1);
    z.setZone(t, 1);
    for (int i = 0; i < 20000; ++i) {
        const size_t len = rng() % 600;
        std::vector<uint8_t> d(len);
        for (auto &b : d)
            b = uint8_t(rng());
        if (len >= 8 && rng() % 2) {
            d[0] = 'L';
            d[1] = 'H';
            wr_u16(&d[2], rng() % 2 ? 0xA5B8 : 0xA5AC);
            const uint16_t l = uint16_t(rng() % 2 ? (len >= 12 ? len - 12 : 0) & ~3u : rng() % 1024);
            wr_u16(&d[6], l);
            if (rng() % 2 && len >= 12u + l)
                wr_u32(&d[8 + l], crc32_words(d.data(), l / 4 + 2));
            if (len >= 16 && rng() % 2)
                wr_u32(&d[8], 0x101);
        }
        const int r1 = z.getZoneRev(d.data(), d.size(), 1);
        EXPECT_TRUE(r1 >= -4 && r1 <= 1);
        const int r2 = z.setZoneRev(d.data(), d.size());
        EXPECT_TRUE(r2 >= -3 && r2 <= 1);
        z.parseZoneDef(0, d.size(), d.data());
        if (z.getZones().count >= 60)
            z.setZoneSyn(nullptr, 0);
    }
}
