// Serial ports: the line-parameter text and port names on every target; on
// Linux the port itself on a pseudo-terminal pair made here, whose master end
// plays the device at the other end of the line.
#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace tallow::platform {
namespace {

TEST(LineSettingsTextTest, IsTheDeviceControlTextOfTheWindowsParser) {
    LineSettings settings{"COM5", 9600, "e", 7, 1};
    EXPECT_EQ(LineSettingsText(settings), "COM5: baud=9600 parity=e data=7 stop=1");
}

TEST(ComPortNumberTest, ComOneToTwoHundredFiftySixInAnyCase) {
    EXPECT_EQ(ComPortNumber("COM1"), 1);
    EXPECT_EQ(ComPortNumber("com3"), 3);
    EXPECT_EQ(ComPortNumber("Com256"), 256);
    for (const char* other : {"COM0", "COM257", "COM01", "COM", "COMx", "COM1:", "XCOM1", "COM1000", ""})
        EXPECT_EQ(ComPortNumber(other), 0) << other;
}

#if defined(_WIN32)

// COM10 and above are no device names outside the device namespace.
TEST(SerialDevicePathTest, ComNamesOpenThroughTheDeviceNamespace) {
    EXPECT_EQ(SerialDevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(SerialDevicePath("com57"), "\\\\.\\COM57");
    EXPECT_EQ(SerialDevicePath("COM257"), "COM257");
    EXPECT_EQ(SerialDevicePath("\\\\.\\COM3"), "\\\\.\\COM3");
}

#else

TEST(SerialDevicePathTest, ComNamesAreTtySDevicesAndOtherNamesPaths) {
    EXPECT_EQ(SerialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(SerialDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialDevicePath("COM257"), "COM257");
}

// A pseudo-terminal pair: the port opens the slave by its name.
class PtyPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        slave_ = ::ptsname(master_);
        ASSERT_TRUE(port_.Open(slave_));
    }
    void TearDown() override {
        if (master_ >= 0) ::close(master_);
    }
    void Send(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::string ReadAll() {
        std::string bytes;
        char buffer[64];
        long n;
        while ((n = port_.Read(buffer, sizeof buffer)) > 0)
            bytes.append(buffer, size_t(n));
        return bytes;
    }
    static long long Milliseconds(std::chrono::steady_clock::time_point since) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
            .count();
    }

    int master_ = -1;
    std::string slave_;
    SerialPort port_;
};

TEST_F(PtyPortTest, BytesPassUnchangedBothWays) {
    Send("a\rb\n");
    port_.AwaitInput(2000);
    EXPECT_EQ(ReadAll(), "a\rb\n");  // no line discipline turns CR into LF
    EXPECT_EQ(port_.Write("c\n", 2), 2);
    char buffer[8] = {};
    EXPECT_EQ(::read(master_, buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), "c\n");  // nor LF into CR LF
}

TEST_F(PtyPortTest, AWaitEndsWhenInputArrivesAndOnlyThen) {
    Send("x");
    auto start = std::chrono::steady_clock::now();
    port_.AwaitInput(2000);
    EXPECT_LT(Milliseconds(start), 500);
    EXPECT_EQ(ReadAll(), "x");

    std::thread later([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        Send("y");
    });
    start = std::chrono::steady_clock::now();
    port_.AwaitInput(3000);
    long long waited = Milliseconds(start);
    later.join();
    EXPECT_GE(waited, 100);
    EXPECT_LT(waited, 1500);

    ReadAll();
    start = std::chrono::steady_clock::now();
    port_.AwaitInput(300);
    EXPECT_GE(Milliseconds(start), 250);
}

TEST_F(PtyPortTest, APortIsForOneObjectAtATime) {
    SerialPort second;
    EXPECT_FALSE(second.Open(slave_));
    SerialPort missing;
    EXPECT_FALSE(missing.Open("/nonexistent/ttyS9"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Write("x", 1), -1);
}

TEST_F(PtyPortTest, LineSettingsTheParserAcceptsAndRefuses) {
    for (const char* parity : {"n", "e", "o", "m", "s", "N", "E"})
        EXPECT_TRUE(port_.SetLine({slave_, 9600, parity, 7, 1})) << parity;
    EXPECT_TRUE(port_.SetLine({slave_, 96, "n", 8, 2}));  // 96 is short for 9600
    EXPECT_TRUE(port_.SetLine({slave_, 115200, "n", 5, 1}));
    EXPECT_FALSE(port_.SetLine({slave_, 9600, "x", 8, 1}));
    EXPECT_FALSE(port_.SetLine({slave_, 9600, "none", 8, 1}));
    EXPECT_FALSE(port_.SetLine({slave_, 9600, "n", 9, 1}));
    EXPECT_FALSE(port_.SetLine({slave_, 9600, "n", 4, 1}));
    EXPECT_FALSE(port_.SetLine({slave_, 9600, "n", 8, 3}));
    EXPECT_FALSE(port_.SetLine({slave_, 12345, "n", 8, 1}));
    // Reads still return at once afterwards.
    char byte;
    EXPECT_EQ(port_.Read(&byte, 1), 0);
}

TEST_F(PtyPortTest, AHungUpLineWaitsOutItsTimeInsteadOfSpinning) {
    ::close(master_);
    master_ = -1;
    auto start = std::chrono::steady_clock::now();
    port_.AwaitInput(300);
    EXPECT_GE(Milliseconds(start), 250);
}

#endif

}  // namespace
}  // namespace tallow::platform
