// The file transfer run against the device side of a fake Raxo sensor on loopback, and its
// message builders and reply parsers on hand-made bytes.

#include "checksum.h"
#include "fakepeer.h"
#include "fakeraxo.h"
#include "filetransfer.h"
#include "lhframe.h"
#include "sockethelpers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> pattern(size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    uint32_t x = seed * 2654435761u + 1;
    for (auto &b : v) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    return v;
}

uint32_t crc_of(const std::vector<uint8_t> &v)
{
    return crc32_reflected(0, v.data(), v.size());
}

// A host end of the transfer: a UDP socket on 127.0.0.1 that sends LhSumFrames to the fake.
class Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.ok());
        sock = udp_open(0, false, "127.0.0.1");
        ASSERT_NE(sock, INVALID_SOCK);
        dir = testsupport::make_temp_subdir("ft");
    }
    void TearDown() override { udp_close(sock); }

    FileTransfer make()
    {
        return FileTransfer(
            FileTransferConfig::raxo(),
            [this](int type, const void *payload, unsigned len) {
                ++sends;
                return lh_send_sum_frame(sock, fake.ip().c_str(), fake.listen_port(), 0, 0,
                                         uint16_t(type), len, payload);
            },
            [this] { return sock; });
    }

    std::string file_with(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        const std::string path = dir + "/" + name;
        testsupport::write_file(path, bytes);
        return path;
    }

    FakeRaxo fake;
    int sock = INVALID_SOCK;
    std::string dir;
    std::atomic<int> sends{0};
};

} // namespace

TEST(FileTransferMessages, FileNameAfterLastSeparator)
{
    const struct {
        const char *path;
        const char *name;
    } cases[] = {
        {"/home/u/fw/LDS-Raxo-E_1.2.bin", "LDS-Raxo-E_1.2.bin"},
        {"C:\\fw\\LDS-Raxo-E.bin", "LDS-Raxo-E.bin"},
        {"a\\b/c\\d.bin", "c\\d.bin"}, // a "/" wins over any "\"
        {"plain.bin", "plain.bin"},
        {"dir/", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ft_file_name(c.path), c.name) << c.path;
}

TEST(FileTransferMessages, InfoMessageOfAWindowsPath)
{
    const std::vector<uint8_t> content = pattern(1000, 7);
    const std::string text = ft_info_text(ft_file_name("D:\\firmware\\LDS-Raxo-S.lhl"), 1000, crc_of(content));
    char expect[64];
    std::snprintf(expect, sizeof(expect), "LDS-Raxo-S.lhl 1000 %08X", crc_of(content));
    EXPECT_EQ(text, expect);
    EXPECT_EQ(text.find_first_of("abcdef", text.rfind(' ')), std::string::npos) << "upper-case hex";

    uint8_t msg[FT_BUFFER_SIZE];
    const size_t len = ft_build_text_message(FT_OP_INFO, text, msg, sizeof(msg));
    ASSERT_EQ(len, text.size() + 5);
    EXPECT_EQ(rd_u16(msg), FT_OP_INFO);
    EXPECT_EQ(rd_u16(msg + 2), text.size());
    EXPECT_EQ(std::string(reinterpret_cast<char *>(msg + 4), text.size()), text);
    EXPECT_EQ(msg[len - 1], 0);
}

TEST(FileTransferMessages, LongNamesAreCappedToFitTheBuffer)
{
    const std::string name(3000, 'n');
    uint8_t msg[FT_BUFFER_SIZE + 64];
    const size_t len = ft_build_text_message(FT_OP_REQUEST, name, msg, sizeof(msg));
    EXPECT_EQ(len, FT_BUFFER_SIZE);
    EXPECT_EQ(rd_u16(msg + 2), FT_MAX_TEXT);
    EXPECT_EQ(msg[len - 1], 0);
    EXPECT_EQ(ft_build_text_message(FT_OP_REQUEST, "abc", msg, 7), 0u) << "no room: nothing built";

    // The numbers of an info text survive a name that fills the text.
    const std::string info = ft_info_text(name, 4294967295u, 0xDEADBEEF);
    EXPECT_EQ(info.size(), FT_MAX_TEXT);
    EXPECT_EQ(info.substr(info.size() - 20), " 4294967295 DEADBEEF");
}

TEST(FileTransferMessages, ChunkAndShortMessages)
{
    uint8_t msg[FT_BUFFER_SIZE];
    const std::vector<uint8_t> data = pattern(512, 3);
    ASSERT_EQ(ft_build_chunk(7, data.data(), 512, msg, sizeof(msg)), 518u);
    EXPECT_EQ(rd_u16(msg), FT_OP_CHUNK);
    EXPECT_EQ(rd_u16(msg + 2), 7);
    EXPECT_EQ(rd_u16(msg + 4), 512);
    EXPECT_EQ(std::memcmp(msg + 6, data.data(), 512), 0);
    EXPECT_EQ(ft_build_chunk(0, data.data(), 513, msg, sizeof(msg)), 0u);
    EXPECT_EQ(ft_build_op(FT_OP_END, msg, sizeof(msg)), 2u);
    EXPECT_EQ(rd_u16(msg), FT_OP_END);
    EXPECT_EQ(ft_build_next(9, msg, sizeof(msg)), 4u);
    EXPECT_EQ(rd_u16(msg), FT_OP_NEXT);
    EXPECT_EQ(rd_u16(msg + 2), 9);
}

TEST(FileTransferMessages, RepliesShorterThanTheirFieldsAreNotAccepted)
{
    uint8_t status8 = 0xEE;
    uint16_t status16 = 0xEEEE;
    const uint8_t zero[8] = {0};
    EXPECT_FALSE(ft_upload_status(zero, 0, &status8));
    EXPECT_TRUE(ft_upload_status(zero, 1, &status8));
    EXPECT_EQ(status8, 0);
    EXPECT_FALSE(ft_upload_ack(zero, 1, &status16));
    EXPECT_TRUE(ft_upload_ack(zero, 2, &status16));
    EXPECT_EQ(status16, 0);
    EXPECT_FALSE(ft_download_accepted(zero, 3));
    EXPECT_TRUE(ft_download_accepted(zero, 4));
    const uint8_t busy[4] = {0, 0, 1, 0};
    EXPECT_FALSE(ft_download_accepted(busy, 4));

    const uint8_t *data = nullptr;
    size_t n = 0;
    EXPECT_FALSE(ft_parse_download_chunk(zero, 7, &data, &n));
    // A chunk that claims more than it carries gives what it carries.
    std::vector<uint8_t> chunk = {0, 0, 0, 0, 0, 0, 0xF4, 0x01, 'a', 'b', 'c'};
    ASSERT_TRUE(ft_parse_download_chunk(chunk.data(), chunk.size(), &data, &n));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(data, chunk.data() + 8);
}

TEST(FileTransferMessages, InfoReplyIsParsedFromATerminatedCopy)
{
    auto reply = [](const std::string &text, bool terminate) {
        std::vector<uint8_t> p(6, 0);
        p.insert(p.end(), text.begin(), text.end());
        if (terminate)
            p.push_back(0);
        return p;
    };
    FtFileInfo info;
    std::vector<uint8_t> ok = reply("alg_model.bin 1300 00C0FFEE", false);
    ASSERT_TRUE(ft_parse_download_info(ok.data(), ok.size(), &info));
    EXPECT_EQ(info.name, "alg_model.bin");
    EXPECT_EQ(info.size, 1300u);
    EXPECT_EQ(info.crc, 0x00C0FFEEu);

    const std::vector<std::vector<uint8_t>> bad = {
        {},
        {0, 0, 0, 0, 0, 0},
        reply("alg_model.bin 1300", true),
        reply("alg_model.bin size 00C0FFEE", true),
        reply(std::string(2000, 'A'), false), // fills and overflows the copy: never overrun
    };
    for (const auto &b : bad)
        EXPECT_FALSE(ft_parse_download_info(b.data(), b.size(), &info)) << b.size();

    // A name longer than 63 characters is cut at 63 and the rest is not taken as the size.
    std::vector<uint8_t> longname = reply(std::string(80, 'x') + " 5 00000001", true);
    EXPECT_FALSE(ft_parse_download_info(longname.data(), longname.size(), &info));
}

TEST_F(Transfer, UploadsEveryChunkAndTheWholeFileCrc)
{
    for (size_t size : {size_t(1), size_t(1000), size_t(1536), size_t(5000)}) {
        const std::vector<uint8_t> content = pattern(size, uint32_t(size));
        const std::string path = file_with("LDS-Raxo-E_fw.bin", content);
        FileTransfer t = make();
        ASSERT_TRUE(t.upload(path)) << size;
        ASSERT_TRUE(fake.wait_upload_end(10000));
        const FakeRaxo::Upload up = fake.upload();
        EXPECT_EQ(up.name, "LDS-Raxo-E_fw.bin");
        EXPECT_EQ(up.size, size);
        EXPECT_EQ(up.crc, crc_of(content));
        EXPECT_EQ(up.data, content) << size;
        EXPECT_EQ(up.chunk_messages, int((size + 511) / 512));
        EXPECT_TRUE(up.ended);
    }
}

TEST_F(Transfer, EmptyFileSendsInfoThenEnd)
{
    const std::string path = file_with("empty.bin", {});
    FileTransfer t = make();
    ASSERT_TRUE(t.upload(path));
    ASSERT_TRUE(fake.wait_upload_end(10000));
    const FakeRaxo::Upload up = fake.upload();
    EXPECT_EQ(up.info_text, "empty.bin 0 00000000");
    EXPECT_EQ(up.chunk_messages, 0);
    EXPECT_EQ(sends.load(), 2);
}

TEST_F(Transfer, LostChunkRepliesAreAnsweredByRepeats)
{
    const std::vector<uint8_t> content = pattern(1500, 9);
    fake.drop_chunk_replies(1, 3);
    FileTransfer t = make();
    ASSERT_TRUE(t.upload(file_with("fw.bin", content)));
    ASSERT_TRUE(fake.wait_upload_end(10000));
    const FakeRaxo::Upload up = fake.upload();
    EXPECT_EQ(up.data, content);
    EXPECT_EQ(up.chunk_messages, 3 + 3);
}

TEST_F(Transfer, AChunkRefusedEightTimesFailsTheUpload)
{
    fake.reject_chunk(2);
    FileTransfer t = make();
    const std::string path = file_with("fw.bin", pattern(2000, 4));
    ASSERT_EQ(t.SendFileInfo(path), 0);
    EXPECT_EQ(t.SendFileData(path), -1);
    const FakeRaxo::Upload up = fake.upload();
    EXPECT_EQ(up.chunk_messages, 2 + FileTransfer::kChunkSends);
    EXPECT_FALSE(up.ended);
}

TEST_F(Transfer, SilentSensorFailsTheInfoStepAfterSixTries)
{
    fake.set_silent(true);
    FileTransfer t = make();
    EXPECT_FALSE(t.upload(file_with("fw.bin", pattern(100, 1))));
    EXPECT_EQ(sends.load(), FileTransfer::kInfoTries);
}

// Anyone may send to the socket a transfer listens on. A stranger's "accepted", waiting there
// while the sensor says nothing, passes for the sensor's reply as long as the transfer hears
// everyone; once it knows the sensor's address, it is no reply at all.
TEST_F(Transfer, AStrangersAnswerIsNoReplyOnceTheSensorIsKnown)
{
    fake.set_silent(true);
    FakePeer stranger("127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    sockaddr_in local{};
    socklen_t len = sizeof(local);
    ASSERT_EQ(getsockname(sock, reinterpret_cast<sockaddr *>(&local), &len), 0);
    const uint8_t accepted = FILE_TRANS_ST_OK;
    const std::vector<uint8_t> forged = lh_make_sum_frame(0, 0, 3, &accepted, 1);
    for (int i = 0; i < 20; ++i)
        ASSERT_GT(stranger.send_to("127.0.0.1", ntohs(local.sin_port), forged), 0);
    const std::string path = file_with("fw.bin", pattern(100, 1));

    FileTransfer hearsAnyone = make();
    EXPECT_EQ(hearsAnyone.SendFileInfo(path), 0) << "the forged answer taken";

    FileTransfer t = make();
    uint32_t sensor = 0;
    ASSERT_TRUE(ipv4_from_canonical_text(fake.ip().c_str(), &sensor));
    t.set_peer(sensor);
    sends = 0;
    EXPECT_EQ(t.SendFileInfo(path), -1) << "the stranger's answers still waiting are dropped";
    EXPECT_EQ(sends.load(), FileTransfer::kInfoTries);
}

TEST_F(Transfer, MissingFileFailsWithoutSending)
{
    FileTransfer t = make();
    EXPECT_FALSE(t.upload(dir + "/does-not-exist.bin"));
    EXPECT_EQ(sends.load(), 0);
}

TEST_F(Transfer, DownloadsAServedFile)
{
    for (size_t size : {size_t(1300), size_t(1024), size_t(1)}) {
        const std::vector<uint8_t> content = pattern(size, 5);
        fake.serve_file("alg_model.bin", content);
        FileTransfer t = make();
        const std::string local = dir + "/alg_model.bin";
        ASSERT_EQ(t.RecvFile(local, "alg_model.bin"), 0) << size;
        EXPECT_EQ(testsupport::read_file(local), content);
    }
    const std::vector<uint16_t> next = fake.download_next_requests();
    ASSERT_GE(next.size(), 3u);
    EXPECT_EQ(next[0], 0);
    EXPECT_EQ(next[1], 1);
    EXPECT_EQ(next[2], 2);
}

TEST_F(Transfer, EmptyFileDownloadFinishesAtOnce)
{
    fake.serve_file("zone_cfg.bin", {});
    FileTransfer t = make();
    ASSERT_EQ(t.RecvFile(dir + "/zone_cfg.bin", "zone_cfg.bin"), 0);
    EXPECT_TRUE(fake.download_next_requests().empty());
    EXPECT_EQ(fake.download_finish_messages(), 1);
}

TEST_F(Transfer, ChunkRepliesThatKeepComingNeverRunOutOfRounds)
{
    const std::vector<uint8_t> content = pattern(4000, 8);
    fake.set_download_chunk_size(100); // 40 rounds, far more than the failed-round limit
    fake.serve_file("alg_model.bin", content);
    FileTransfer t = make();
    ASSERT_EQ(t.RecvFile(dir + "/m.bin", "alg_model.bin"), 0);
    EXPECT_EQ(testsupport::read_file(dir + "/m.bin"), content);
}

TEST_F(Transfer, DownloadWithWrongCrcFailsAndKeepsThePartialFile)
{
    const std::vector<uint8_t> content = pattern(700, 2);
    fake.serve_file_with_crc("alg_model.bin", content, crc_of(content) ^ 1);
    FileTransfer t = make();
    EXPECT_EQ(t.RecvFile(dir + "/m.bin", "alg_model.bin"), -1);
    EXPECT_EQ(testsupport::read_file(dir + "/m.bin"), content);
}

TEST_F(Transfer, SixSilentRoundsEndADownload)
{
    fake.set_silent(true);
    FileTransfer t = make();
    EXPECT_EQ(t.RecvFile(dir + "/m.bin", "alg_model.bin"), -1);
    EXPECT_EQ(sends.load(), FileTransfer::kMaxFailedRounds + 1);
}

TEST_F(Transfer, UnknownFileIsRefusedRoundAfterRound)
{
    FileTransfer t = make();
    EXPECT_EQ(t.RecvFile(dir + "/m.bin", "no_such_file.bin"), -1);
    EXPECT_EQ(sends.load(), FileTransfer::kMaxFailedRounds + 1);
}

TEST_F(Transfer, DownloadNeverFollowsALinkPlantedAtTheTarget)
{
    const std::string victim = file_with("victim.txt", {'k', 'e', 'e', 'p'});
    const std::string link = dir + "/alg_model.bin";
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    fake.serve_file("alg_model.bin", pattern(100, 1));
    FileTransfer t = make();
    EXPECT_EQ(t.RecvFile(link, "alg_model.bin"), -1);
    EXPECT_EQ(testsupport::read_file(victim), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(sends.load(), 0);
}
