// SPDX-License-Identifier: MIT
#include "platform/linux/mount_info.h"
#include "test_data.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace kelvora {
namespace {

using Devices = std::set<std::pair<unsigned, unsigned>>;
using Texts = std::vector<std::string>;

TEST(SelectDrivesTest, ListsLocalFilesystemsInOrder) {
    const Texts desktop = {
        "/media/anna/STICK", "/",        "/boot/efi", "/home", "/mnt/backup disk",
        "/mnt/odd\tname\\x", "/srv/data"};
    const struct {
        const char* file;
        Devices removable;
        Texts expected;
    } cases[] = {
        // Pseudo filesystems, tmpfs, snaps and an ext4 image on loop devices,
        // NFS, CIFS and sshfs are left out; /srv/projects is a part of /home
        // mounted again.
        {"mountinfo_desktop.txt", {{8, 17}}, desktop},
        // The stick is under /media, which counts whatever sysfs says.
        {"mountinfo_desktop.txt", {}, desktop},
        // The overlay root is the container's drive; the host disk shows
        // through several bind mounts and is listed once, at its largest part.
        {"mountinfo_container.txt", {}, {"/media", "/", "/src"}},
        {"mountinfo_chroot_without_root.txt", {}, {"/media", "/", "/opt", "/var/cache"}},
        // /data is hidden under a tmpfs, /archive is mounted twice, the btrfs
        // snapshots are a part of /mnt/btrfs, other overlays are left out.
        {"mountinfo_removable.txt",
         {{8, 49}},
         {"/mnt/usb", "/", "/archive", "/mnt/btrfs", "/mnt/iscsi", "/run/media/anna/CARD",
          "/tank"}},
        {"mountinfo_removable.txt",
         {},
         {"/run/media/anna/CARD", "/", "/archive", "/mnt/btrfs", "/mnt/iscsi", "/mnt/usb",
          "/tank"}},
        {"mountinfo_malformed.txt", {}, {"/media", "/", "/games", "/scratch"}},
        {"mountinfo_sandbox.txt", {}, {"/media", "/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const RemovableDevice isRemovable = [&c](unsigned major, unsigned minor) {
            return c.removable.contains({major, minor});
        };

        Texts texts;
        for (const Drive& drive : selectDrives(parseMountInfo(readTestData(c.file)), isRemovable)) {
            EXPECT_EQ(drive.root, drive.text);
            texts.push_back(drive.text);
        }
        EXPECT_EQ(texts, c.expected);
    }
}

TEST(SelectDrivesTest, RemovableRootStaysSecond) {
    const std::vector<MountEntry> mounts = {
        {.major = 8,
         .minor = 17,
         .fsRoot = "/",
         .mountPoint = "/",
         .fsType = "ext4",
         .source = "/dev/sdb1"},
    };

    const auto drives = selectDrives(mounts, [](unsigned, unsigned) { return true; });

    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].root, "/media");
    EXPECT_EQ(drives[1].root, "/");
}

TEST(ParseMountInfoTest, ReadsTheFieldsAndUnescapesPaths) {
    const auto mounts = parseMountInfo(readTestData("mountinfo_desktop.txt"));

    ASSERT_EQ(mounts.size(), 26u);
    const MountEntry& backup = mounts[21];
    EXPECT_EQ(backup.major, 8u);
    EXPECT_EQ(backup.minor, 33u);
    EXPECT_EQ(backup.fsRoot, "/");
    EXPECT_EQ(backup.mountPoint, "/mnt/backup disk");
    EXPECT_EQ(backup.fsType, "ext4");
    EXPECT_EQ(backup.source, "/dev/sdc1");
    EXPECT_EQ(mounts[20].fsRoot, "/anna/projects");
    EXPECT_EQ(mounts[15].source, "nas.local:/export/media");
}

TEST(ParseMountInfoTest, KeepsBadEscapesAsWritten) {
    const auto mounts = parseMountInfo("1 0 8:1 / /mnt/a\\09x\\7 rw - ext4 /dev/sda1 rw\n"
                                       "2 0 8:2 / /mnt/b\\101 rw - ext4 /dev/sda2 rw\n");

    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[0].mountPoint, "/mnt/a\\09x\\7");
    EXPECT_EQ(mounts[1].mountPoint, "/mnt/bA");
}

} // namespace
} // namespace kelvora
