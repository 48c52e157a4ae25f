#pragma once
// A fake box taking firmware on 127.0.0.2:6665 (the program's side binds 127.0.0.1) and an image
// for it in the test's temp folder. The box command thread takes the exchange's timing from the
// process-wide defaults: set here, restored when this goes.

#include "fakeiapdevice.h"
#include "firmware.h"
#include "testsupport.h"

#include "../common/firmwareimage.h"

#include <gtest/gtest.h>

#include <string>

struct BoxFirmwareTarget {
    BoxFirmwareTarget(uint32_t payload_size, const std::string &name)
        : path(testsupport::temp_dir() + "/" + name)
    {
        EXPECT_TRUE(device.ok()) << "port 6665 on 127.0.0.2";
        device.start();
        set_timing(3000, 200);
        testsupport::write_file(path, make_firmware_image(payload_size, 9));
    }
    ~BoxFirmwareTarget() { iap_set_default_options(saved); }

    void set_timing(int resend_ms, int wait_ms)
    {
        IapOptions o;
        o.bind_ip = "127.0.0.1";
        o.resend_ms = resend_ms;
        o.wait_ms = wait_ms;
        iap_set_default_options(o);
    }

    FakeIapDevice device{"127.0.0.2", IAP_BOX_PORT};
    IapOptions saved = iap_default_options();
    std::string path;
};
