// The model table: the key a reply is matched by comes from the bytes that went out, whatever
// their length; a number that names no model gets the row of no model; every row can be read
// without a session.

#include "devicemodels.h"
#include "fenkprotocol.h"
#include "lhframe.h"
#include "raxoprotocol.h"
#include "sensorreceiver.h"
#include "vimoprotocol.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <memory>

namespace {

QByteArray sumFrame(uint16_t type, std::vector<uint8_t> payload)
{
    const std::vector<uint8_t> f = lh_make_sum_frame(0, 7, type, payload.data(), payload.size());
    return QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size()));
}

} // namespace

TEST(DeviceModels, SetCodeComesFromTheFrameSent)
{
    const QByteArray fenkAddress = sumFrame(FENK_SET, {FENK_SET_ADDRESS, 0, 0, 0});
    const QByteArray raxoAddress = sumFrame(RAXO_SET, {RAXO_SET_ADDRESS, 0, 0, 0});
    QByteArray notLh = raxoAddress;
    notLh[0] = 'X';
    const struct {
        const char *what;
        int model;
        QByteArray frame;
        int key;
    } cases[] = {
        {"Fenk-U address", LIDAR_FENK_U, fenkAddress, FENK_SET_ADDRESS},
        {"Fenk-U data type", LIDAR_FENK_U, sumFrame(FENK_SET, {FENK_SET_DATA_TYPE, 0, 2, 0, 8, 0}),
         FENK_SET_DATA_TYPE},
        {"Raxo-S address", LIDAR_RAXO_S, raxoAddress, RAXO_SET_ADDRESS},
        {"a Raxo set read as a Fenk-U one", LIDAR_FENK_U, raxoAddress, -1},
        {"Raxo query", LIDAR_RAXO_E, sumFrame(RAXO_GET_PARAM, {0}), -1},
        {"no magic", LIDAR_RAXO_E, notLh, -1},
        {"cut before the code", LIDAR_RAXO_E, raxoAddress.left(int(LH_SUM_HEADER) + 1), -1},
        {"empty", LIDAR_RAXO_E, QByteArray(), -1},
        {"Vimo-E text command", LIDAR_VIMO_E, raxoAddress, -1},
        {"no model", 42, fenkAddress, -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(device_set_code(device_model(c.model), c.frame), c.key) << c.what;
}

TEST(DeviceModels, RowsByNumber)
{
    for (int type = LIDAR_FENK_U; type <= LIDAR_UNKNOWN; ++type) {
        ASSERT_NE(find_device_model(type), nullptr) << type;
        EXPECT_EQ(device_model(type).type, type);
    }
    for (int stranger : {-1, int(LIDAR_UNKNOWN) + 1, 255}) {
        EXPECT_EQ(find_device_model(stranger), nullptr) << stranger;
        EXPECT_EQ(device_model(stranger).type, LIDAR_UNKNOWN) << stranger;
    }
    EXPECT_TRUE(same_receiver(LIDAR_RAXO_E, LIDAR_RAXO_S));
    EXPECT_FALSE(same_receiver(LIDAR_RAXO_E, LIDAR_FENK_U));
    EXPECT_FALSE(same_receiver(LIDAR_UNKNOWN, LIDAR_UNKNOWN)) << "no model runs no receiver";
    EXPECT_EQ(device_model(LIDAR_UNKNOWN).parse, nullptr);
}

// The start queries are complete frames of the family's own kind: the Raxo-S asks for its
// algorithm block after its parameters, the Vimo-E sends its text query.
TEST(DeviceModels, StartQueries)
{
    const auto typeOf = [](const QByteArray &f) {
        return rd_u16(reinterpret_cast<const uint8_t *>(f.constData()) + LH_SUM_TYPE_AT);
    };
    const std::vector<QByteArray> raxoE = device_model(LIDAR_RAXO_E).startQueries(LIDAR_RAXO_E);
    const std::vector<QByteArray> raxoS = device_model(LIDAR_RAXO_S).startQueries(LIDAR_RAXO_S);
    ASSERT_EQ(raxoE.size(), 1u);
    ASSERT_EQ(raxoS.size(), 2u);
    EXPECT_EQ(typeOf(raxoE[0]), RAXO_GET_PARAM);
    EXPECT_EQ(typeOf(raxoS[1]), RAXO_GET_ALG_PARAM);
    EXPECT_EQ(typeOf(device_model(LIDAR_FENK_U).startQueries(LIDAR_FENK_U).at(0)), FENK_GET_PARAM);
    const QByteArray vimo = device_model(LIDAR_VIMO_E).startQueries(LIDAR_VIMO_E).at(0);
    EXPECT_EQ(rd_u16(reinterpret_cast<const uint8_t *>(vimo.constData()) + 2), QUERY_PACK);
    EXPECT_TRUE(vimo.mid(int(LH_CRC_HEADER)).startsWith(VIMO_PARAM_QUERY));
    EXPECT_EQ(device_model(LIDAR_ALG_BOX).startQueries, nullptr);
}

// Each sensor row makes its own receiver, bound and addressed as the row's target says, not
// started.
TEST(DeviceModels, ReceiversAreMadeNotStarted)
{
    const SessionTarget target{"127.0.0.2", 2368, 2369, "127.0.0.1"};
    for (int type = LIDAR_FENK_U; type <= LIDAR_ALG_BOX; ++type) {
        std::unique_ptr<SensorReceiver> r(device_model(type).makeReceiver(uint8_t(type), target));
        ASSERT_NE(r, nullptr) << type;
        EXPECT_FALSE(r->isRunning()) << type;
    }
}
