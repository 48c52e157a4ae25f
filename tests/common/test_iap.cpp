// The IAP exchange against a fake device on 127.0.0.2 holding the box's firmware port 6665;
// the program's side binds the same port on 127.0.0.1.

#include "fakeiapdevice.h"
#include "fakepeer.h"
#include "firmwareimage.h"
#include "testsupport.h"

#include "firmware.h"
#include "logmanager.h"
#include "sockethelpers.h"

#include <gtest/gtest.h>
#include <spdlog/sinks/ostream_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <sstream>

namespace {

// Lines the box variant writes to the console logger, as "level|text".
class ConsoleCapture {
public:
    ConsoleCapture() : sink_(std::make_shared<spdlog::sinks::ostream_sink_mt>(out_))
    {
        sink_->set_pattern("%l|%v");
        LogManager::instance()->console()->sinks().push_back(sink_);
    }
    ~ConsoleCapture()
    {
        auto &sinks = LogManager::instance()->console()->sinks();
        sinks.erase(std::remove(sinks.begin(), sinks.end(), sink_), sinks.end());
    }
    std::string text()
    {
        sink_->flush();
        return out_.str();
    }

private:
    std::ostringstream out_;
    std::shared_ptr<spdlog::sinks::ostream_sink_mt> sink_;
};

class IapExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.ok());
        device.start();
        // Time-outs generous enough that a loaded machine never causes a resend.
        options.bind_ip = "127.0.0.1";
        options.resend_ms = 3000;
        options.wait_ms = 200;
    }

    std::string image_file(uint32_t payload_size, const std::string &name = "fw.bin")
    {
        image = make_firmware_image(payload_size, 5);
        const std::string path = testsupport::temp_dir() + "/" + name;
        testsupport::write_file(path, image);
        return path;
    }

    // Waits for the `expected` datagrams of the program, then sends a marker datagram from a
    // third address and waits for it too, so that a datagram sent after those is usually
    // caught. The marker is not always last: loopback does not order datagrams from different
    // senders that are queued on different CPUs.
    std::vector<Datagram> everything_received(size_t expected)
    {
        EXPECT_TRUE(device.wait_for(expected, 5000));
        FakePeer marker("127.0.0.3");
        marker.send_to(device.ip(), device.port(), {'e', 'n', 'd'});
        EXPECT_TRUE(device.wait_for(expected + 1, 5000));
        auto all = device.peer().received();
        const auto m = std::find_if(all.begin(), all.end(),
                                    [](const Datagram &d) { return d.from_ip == "127.0.0.3"; });
        EXPECT_NE(m, all.end());
        if (m != all.end())
            all.erase(m);
        return all;
    }

    FakeIapDevice device{"127.0.0.2", IAP_BOX_PORT};
    IapOptions options;
    std::vector<uint8_t> image;
};

uint32_t image_crc(const std::vector<uint8_t> &img)
{
    return rd_u32(&img[12]);
}

void expect_control(const IapMessage &m, uint32_t opcode, uint32_t w2, uint32_t w3)
{
    EXPECT_EQ(m.word0, opcode);
    EXPECT_EQ(m.word1, 0u);
    EXPECT_EQ(m.word2, w2);
    EXPECT_EQ(m.word3, w3);
    EXPECT_TRUE(std::all_of(m.payload.begin() + 16, m.payload.end(), [](uint8_t b) { return b == 0; }));
}

void expect_chunk(const IapMessage &m, const std::vector<uint8_t> &img, uint32_t offset)
{
    const uint8_t *data = img.data() + FW_HEADER_SIZE + offset;
    EXPECT_EQ(m.word0, offset);
    EXPECT_EQ(m.word1, crc32_words(data, 128));
    EXPECT_TRUE(std::equal(m.payload.begin() + 8, m.payload.end(), data));
}

} // namespace

TEST_F(IapExchange, EraseChunksWriteEndInOrderWithOneSequence)
{
    const std::string path = image_file(1024);
    ConsoleCapture console;
    ASSERT_TRUE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
    ASSERT_TRUE(device.wait_for(5, 5000));

    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 5u);
    const uint16_t seq = msgs[0].seq;
    EXPECT_LE(seq, 0x7FFF);
    for (const auto &m : msgs) {
        EXPECT_EQ(m.cmd, IAP_CMD);
        EXPECT_EQ(m.seq, seq);
        EXPECT_EQ(m.length, IAP_PAYLOAD_SIZE);
        EXPECT_EQ(m.payload.size(), IAP_PAYLOAD_SIZE);
        EXPECT_TRUE(m.crc_ok);
        EXPECT_EQ(m.from_ip, "127.0.0.1");
        EXPECT_EQ(m.from_port, IAP_BOX_PORT);
    }
    expect_control(msgs[0], OP_FLASH_ERASE, 1024, image_crc(image));
    expect_chunk(msgs[1], image, 0);
    expect_chunk(msgs[2], image, 512);
    // 512 + 512 reaches the end: the write follows the answer to chunk 512.
    expect_control(msgs[3], OP_WRITE_IAP, 1024, image_crc(image));
    expect_control(msgs[4], OP_UPGRADE_END, 0xABCD1234u, 0);

    EXPECT_EQ(console.text(), "info|receive OP_FLASH_ERASE\ninfo|send OP_WRITE_IAP\n");
}

TEST_F(IapExchange, SilentDeviceGetsTheEraseFiveTimesThenTheUpgradeFails)
{
    device.set_policy(FakeIapDevice::silent());
    const std::string path = image_file(512);
    options.resend_ms = 60;
    options.wait_ms = 30;
    // The box command thread's form takes its options from the process-wide defaults.
    const IapOptions saved = iap_default_options();
    iap_set_default_options(options);
    ConsoleCapture console;
    EXPECT_FALSE(fw_upgrade_box(0, "127.0.0.2", IAP_BOX_PORT, path.c_str()));
    iap_set_default_options(saved);

    const auto all = everything_received(5);
    ASSERT_EQ(all.size(), 5u) << "the erase once, then four resends";
    for (const auto &d : all)
        EXPECT_EQ(d.bytes, all[0].bytes);
    IapMessage m;
    ASSERT_TRUE(parse_iap_message(all[0].bytes, &m));
    EXPECT_EQ(m.word0, OP_FLASH_ERASE);
    EXPECT_EQ(console.text(), "error|Send data more than three times without answering\n");
}

TEST_F(IapExchange, AnAnswerStartsTheResendCountAgain)
{
    // The device answers the erase only when it comes the second time, then never again: the
    // count that the erase's resend used up is given back, so chunk 0 still goes out five
    // times in all before the upgrade gives up.
    auto erases = std::make_shared<int>(0);
    device.set_policy([erases](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        if (m.word0 == OP_FLASH_ERASE && ++*erases == 2)
            return {make_iap_reply(m.seq, m.word0, 0)};
        return {};
    });
    const std::string path = image_file(1024);
    options.resend_ms = 60;
    options.wait_ms = 30;
    EXPECT_FALSE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
    everything_received(7);
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 7u);
    EXPECT_EQ(msgs[0].word0, OP_FLASH_ERASE);
    EXPECT_EQ(msgs[1].word0, OP_FLASH_ERASE);
    for (size_t i = 2; i < msgs.size(); ++i)
        expect_chunk(msgs[i], image, 0);
}

TEST_F(IapExchange, RefusedChunkEndsTheUpgradeAtOnce)
{
    device.set_policy([](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        return {make_iap_reply(m.seq, m.word0, m.word0 == 512 ? 3 : 0, "flash busy")};
    });
    const std::string path = image_file(2048);
    ConsoleCapture console;
    EXPECT_FALSE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));

    const auto all = everything_received(3);
    ASSERT_EQ(all.size(), 3u) << "erase, chunk 0, chunk 512, then nothing";
    EXPECT_EQ(console.text(), "info|receive OP_FLASH_ERASE\nerror|200 flash busy \n\n");
}

TEST_F(IapExchange, BadImagesSendNothing)
{
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes; // empty: no file at all
    };
    std::vector<Case> cases;
    cases.push_back({"no file", {}});
    auto img = make_firmware_image(1024);
    img[1] ^= 0xFF;
    cases.push_back({"bad magic", img});
    img = make_firmware_image(1024);
    img.pop_back();
    cases.push_back({"length is size + 651", img});
    img = make_firmware_image(1024);
    img[FW_HEADER_SIZE] ^= 1;
    cases.push_back({"bad crc", img});

    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = testsupport::temp_dir() + "/bad" + std::to_string(n++) + ".bin";
        if (!c.bytes.empty())
            testsupport::write_file(path, c.bytes);
        ConsoleCapture console;
        EXPECT_FALSE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
        EXPECT_TRUE(everything_received(0).empty());
        device.peer().clear_received();
        EXPECT_EQ(console.text(), "error|Failed to load firmware upgrade file\n");
    }
}

TEST_F(IapExchange, RepliesFromAnotherAddressAreIgnored)
{
    // An impostor on 127.0.0.3 answers every message correctly, sequence and all; the device
    // itself stays silent. The impostor must not move the upgrade on.
    auto impostor = std::make_shared<FakePeer>("127.0.0.3");
    ASSERT_TRUE(impostor->ok());
    device.set_policy([impostor](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        impostor->send_to(m.from_ip, m.from_port, make_iap_reply(m.seq, m.word0, 0));
        return {};
    });
    const std::string path = image_file(1024);
    options.resend_ms = 60;
    options.wait_ms = 30;
    EXPECT_FALSE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
    everything_received(5);
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 5u);
    for (const auto &m : msgs)
        EXPECT_EQ(m.word0, OP_FLASH_ERASE);
}

TEST_F(IapExchange, ShortForeignAndStaleRepliesChangeNothing)
{
    device.set_policy([](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        if (m.word0 == OP_UPGRADE_END)
            return {};
        auto short_reply = make_iap_reply(m.seq, m.word0, 0);
        short_reply.resize(12); // header and the first word only
        auto lying_length = make_iap_reply(m.seq, m.word0, 7);
        wr_u16(&lying_length[6], 4); // the length field holds less than the status word
        return {
            short_reply,
            lying_length,
            make_iap_reply(uint16_t(m.seq ^ 0x0100), m.word0, 5), // another exchange
            {'X', 'Y', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
            {'L'},
            make_iap_reply(m.seq, m.word0, 0),
        };
    });
    const std::string path = image_file(1024);
    EXPECT_TRUE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
    ASSERT_TRUE(device.wait_for(5, 5000));
    const auto all = everything_received(5);
    ASSERT_EQ(all.size(), 5u);
    const auto msgs = device.messages();
    EXPECT_EQ(msgs[0].word0, OP_FLASH_ERASE);
    expect_chunk(msgs[1], image, 0);
    expect_chunk(msgs[2], image, 512);
    EXPECT_EQ(msgs[3].word0, OP_WRITE_IAP);
    EXPECT_EQ(msgs[4].word0, OP_UPGRADE_END);
}

TEST_F(IapExchange, OffsetNearTwoToThe32NeverReadsPastTheImage)
{
    // Answering chunk 0 with offset 0xFFFFFC00 puts the next offset at 0xFFFFFE00; in 32 bits
    // "next + 512" would wrap to 0 and the chunk would be read from far outside the image.
    device.set_policy([](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        if (m.word0 == OP_UPGRADE_END)
            return {};
        const uint32_t word = m.word0 == 0 ? 0xFFFFFC00u : m.word0;
        return {make_iap_reply(m.seq, word, 0)};
    });
    const std::string path = image_file(2048);
    EXPECT_TRUE(fw_upgrade_box("127.0.0.2", IAP_BOX_PORT, path.c_str(), options));
    ASSERT_TRUE(device.wait_for(4, 5000));
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 4u);
    EXPECT_EQ(msgs[0].word0, OP_FLASH_ERASE);
    expect_chunk(msgs[1], image, 0);
    expect_control(msgs[2], OP_WRITE_IAP, 2048, image_crc(image));
    EXPECT_EQ(msgs[3].word0, OP_UPGRADE_END);
}

TEST_F(IapExchange, StepsOfTheSharedExchange)
{
    std::vector<IapStep> steps;
    auto record = [&steps](const IapEvent &e) { steps.push_back(e.step); };

    const std::string path = image_file(512);
    ASSERT_TRUE(iap_upgrade("127.0.0.2", IAP_BOX_PORT, path, record, options));
    EXPECT_EQ(steps, (std::vector<IapStep>{IapStep::Start, IapStep::ImageGood, IapStep::SentErase,
                                           IapStep::ReceivedErase, IapStep::SentWrite,
                                           IapStep::ReceivedWrite, IapStep::Success}));
    ASSERT_TRUE(device.wait_for(4, 5000));
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 4u) << "erase, chunk 0, write, end";
    expect_chunk(msgs[1], image, 0);

    // Without an image the exchange says why.
    steps.clear();
    FwImageError why = FwImageError::Ok;
    EXPECT_FALSE(iap_upgrade("127.0.0.2", IAP_BOX_PORT, testsupport::temp_dir() + "/none.bin",
                             [&](const IapEvent &e) {
                                 steps.push_back(e.step);
                                 if (e.step == IapStep::LoadFailed)
                                     why = e.image_error;
                             },
                             options));
    EXPECT_EQ(steps, (std::vector<IapStep>{IapStep::Start, IapStep::LoadFailed}));
    EXPECT_EQ(why, FwImageError::Unreadable);

    // A port held without address reuse cannot be opened: the upgrade ends before it starts.
    const int holder = udp_open(IAP_BOX_PORT, false, "127.0.0.1");
    ASSERT_NE(holder, INVALID_SOCK);
    steps.clear();
    int failed_port = 0;
    EXPECT_FALSE(iap_upgrade("127.0.0.2", IAP_BOX_PORT, path,
                             [&](const IapEvent &e) {
                                 steps.push_back(e.step);
                                 failed_port = e.port;
                             },
                             options));
    udp_close(holder);
    EXPECT_EQ(steps, (std::vector<IapStep>{IapStep::Start, IapStep::OpenFailed}));
    EXPECT_EQ(failed_port, IAP_BOX_PORT);
}

TEST_F(IapExchange, RefusalCarriesTheAnsweredWordAndText)
{
    device.set_policy([](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        return {make_iap_reply(m.seq, m.word0, m.word0 == OP_FLASH_ERASE ? 1 : 0, "erase failed")};
    });
    IapReply refused;
    const std::string path = image_file(512);
    EXPECT_FALSE(iap_upgrade("127.0.0.2", IAP_BOX_PORT, path,
                             [&](const IapEvent &e) {
                                 if (e.step == IapStep::Refused)
                                     refused = e.reply;
                             },
                             options));
    EXPECT_EQ(refused.word, OP_FLASH_ERASE);
    EXPECT_EQ(refused.status, 1u);
    EXPECT_EQ(refused.text, "erase failed");
}

TEST_F(IapExchange, RunsOnTheCallersOwnSocket)
{
    // A receiver that already holds a socket runs the exchange on it; the socket stays open.
    const int sock = udp_open(0, false, "127.0.0.1");
    ASSERT_NE(sock, INVALID_SOCK);
    const std::string path = image_file(1024);
    EXPECT_TRUE(iap_run_exchange(sock, "127.0.0.2", IAP_BOX_PORT, path, nullptr, options));
    ASSERT_TRUE(device.wait_for(5, 5000));
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 5u);
    EXPECT_NE(msgs[0].from_port, IAP_BOX_PORT);
    EXPECT_EQ(lh_send_crc_frame(sock, "127.0.0.2", IAP_BOX_PORT, 1, 1, 4, "ping"), 16);
    udp_close(sock);
}
