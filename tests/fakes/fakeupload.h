#pragma once
// The device side of a file upload as the Raxo and Fenk-U sensors play it over their transfer
// frames: an info message (op 1, "name size crc"), chunks placed by index (op 2, 512 bytes
// each) and the end (op 3). Each answer is a two-byte status. The fakes of both sensors use it
// and add what only their device does.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// What the device side of an upload has seen.
struct FakeUpload {
    std::string info_text;      // the info message's text
    std::string name;
    uint32_t size = 0;
    uint32_t crc = 0;
    std::vector<uint8_t> data;  // chunks placed by index
    int info_messages = 0;
    int chunk_messages = 0;     // every chunk message, repeats included
    bool ended = false;         // op 3 arrived
    int from_port = 0;          // the host port the info message came from
    std::vector<uint16_t> sequences; // of every upload frame answered, in arrival order
};

class FakeUploadTarget {
public:
    enum class Result {
        NotAnUploadOp, // ops other than 1 to 3: the caller's to handle
        NoReply,       // taken, but the device stays silent (short chunk, dropped reply)
        Reply,         // taken; `answer` holds the reply payload
    };

    void set_silent(bool silent);                               // no transfer replies at all
    bool silent();
    void reject_chunk(uint16_t index, uint16_t status = 0x33);  // never accept a chunk
    void drop_chunk_replies(uint16_t index, int times);         // lose the first replies to a chunk
    void set_end_status(uint16_t status);                       // reply to op 3 (0 accepted)

    FakeUpload upload();
    bool wait_end(int timeout_ms);
    int messages(); // every transfer frame handed to take(), of any op

    // One transfer frame's payload (op at 0) with the frame's sequence number and the port it
    // came from.
    Result take(const std::vector<uint8_t> &payload, uint16_t seq, int from_port,
                std::vector<uint8_t> *answer);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    FakeUpload upload_;
    bool silent_ = false;
    std::map<uint16_t, uint16_t> reject_;
    std::map<uint16_t, int> drop_replies_;
    uint16_t end_status_ = 0;
    int messages_ = 0;
};
