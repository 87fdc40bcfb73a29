// The registry of open devices and lent frame buffers.
#include "device_registry.h"

#include "lmcam_private.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

namespace lmcam {

namespace {

std::mutex g_devicesMutex;
std::map<lmcam_handle, std::shared_ptr<VirtualDevice>> g_devices;
std::map<std::string, std::string> g_renamed;
lmcam_handle g_nextHandle = 1;

// What tells one version of the devices file from another without reading it.
struct FileStamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp &other) const
    {
        const auto same = [](const timespec &a, const timespec &b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

FileStamp stampOf(const struct stat &status)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modified = status.st_mtim;
    stamp.changed = status.st_ctim;
    return stamp;
}

// The devices of the last devices file that could be read, and the version of the file last
// looked at (read, or found missing, broken or not a regular file).
std::mutex g_entriesMutex;
std::vector<DeviceEntry> g_entries;
FileStamp g_lookedAt;
bool g_lookedAtKnown = false;

// Lent buffers by reference, and a few returned ones kept for reuse (a 4K frame is 12 MB;
// allocating it afresh every frame costs page faults).
constexpr size_t kSpareBuffers = 6;
std::mutex g_buffersMutex;
std::map<uint64_t, std::vector<uint8_t>> g_lent;
std::vector<std::vector<uint8_t>> g_spare;
uint64_t g_nextRef = 1;

void copyText(char *dst, const std::string &text)
{
    std::strncpy(dst, text.c_str(), LMCAM_NAME_SIZE - 1);
    dst[LMCAM_NAME_SIZE - 1] = '\0';
}

// The devices as the file lists them now. A file being rewritten in place reads as broken
// for a moment, so a file that cannot be used leaves the devices as they were; only a valid
// one changes them, and a missing file means that nothing is plugged in. Only a regular file
// is opened: opening a FIFO would block until a writer comes.
std::vector<DeviceEntry> currentEntries()
{
    std::lock_guard<std::mutex> lock(g_entriesMutex);
    const char *path = std::getenv("LMCAM_VIRTUAL_DEVICES");
    if (path && *path) {
        struct stat status;
        const bool found = stat(path, &status) == 0;
        const bool missing = !found && errno == ENOENT;
        g_lookedAt = found ? stampOf(status) : FileStamp();
        g_lookedAtKnown = true;
        if (missing) {
            logMessage(LMCAM_LOG_WARNING, "virtual devices file \"%s\" does not exist: no devices", path);
            g_entries.clear();
            return g_entries;
        }
        if (found && !S_ISREG(status.st_mode)) {
            logMessage(LMCAM_LOG_ERROR, "virtual devices file \"%s\" is not a regular file; devices unchanged", path);
            return g_entries;
        }
    }
    std::vector<DeviceEntry> entries;
    if (loadDeviceEntries(entries))
        g_entries = std::move(entries);
    else
        logMessage(LMCAM_LOG_WARNING, "virtual devices file \"%s\" ignored; devices unchanged", path);
    return g_entries;
}

void markUnplugged(const std::vector<DeviceEntry> &entries)
{
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    for (auto &open : g_devices) {
        VirtualDevice &device = *open.second;
        bool present = false;
        for (const DeviceEntry &e : entries)
            present = present || e.name == device.entry.name;
        if (!present && !device.unplugged.exchange(true))
            logMessage(LMCAM_LOG_WARNING, "device \"%s\" was unplugged", device.entry.name.c_str());
    }
}

int64_t steadyUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A device keeps its settings while it stays plugged in, from one program run to the next, as
// a real camera keeps them while it has power. The settings live beside the devices file;
// writing the devices file anew plugs every device in again, back at its defaults. The first
// line names the devices file's version; then a line per device: name, parameters, LED levels.
std::string statePath()
{
    const char *path = std::getenv("LMCAM_VIRTUAL_DEVICES");
    return path && *path ? std::string(path) + ".state" : std::string();
}

std::string devicesFileVersion()
{
    struct stat status;
    const char *path = std::getenv("LMCAM_VIRTUAL_DEVICES");
    if (!path || stat(path, &status) != 0)
        return std::string();
    std::ostringstream out;
    out << status.st_dev << ' ' << status.st_ino << ' ' << status.st_size << ' ' << status.st_mtim.tv_sec << ' '
        << status.st_mtim.tv_nsec;
    return out.str();
}

// The state file's device lines when it belongs to the devices file as it is now; else none.
std::vector<std::string> readStateLines(const std::string &version)
{
    std::vector<std::string> lines;
    std::ifstream file(statePath());
    std::string line;
    if (version.empty() || !std::getline(file, line) || line != version)
        return lines;
    while (std::getline(file, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

void restoreState(VirtualDevice &device)
{
    for (const std::string &line : readStateLines(devicesFileVersion())) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || line.compare(0, tab, device.entry.name) != 0 || tab != device.entry.name.size())
            continue;
        std::istringstream values(line.substr(tab + 1));
        int32_t params[static_cast<int>(Param::Count)];
        int32_t leds[LMCAM_LED_PART_COUNT];
        for (int32_t &value : params)
            values >> value;
        for (int32_t &value : leds)
            values >> value;
        if (!values)
            return; // written by another version of the device: its defaults serve
        for (int i = 0; i < static_cast<int>(Param::Count); ++i) {
            const ParamRange &range = paramRange(static_cast<Param>(i));
            device.params[i] = std::clamp(params[i], range.min, range.max);
        }
        for (int i = 0; i < LMCAM_LED_PART_COUNT; ++i)
            device.leds[i] = std::clamp(leds[i], 0, kLedMax);
        return;
    }
}

// Called with the device's lock held. The file is replaced whole, so a reader never sees half of it.
void keepState(const VirtualDevice &device)
{
    const std::string path = statePath();
    const std::string version = devicesFileVersion();
    if (path.empty() || version.empty() || device.unplugged)
        return;
    static std::mutex fileMutex;
    std::lock_guard<std::mutex> lock(fileMutex);
    std::ostringstream out;
    out << version << '\n';
    const std::string prefix = device.entry.name + '\t';
    for (const std::string &line : readStateLines(version))
        if (line.compare(0, prefix.size(), prefix) != 0)
            out << line << '\n';
    out << prefix;
    for (int32_t value : device.params)
        out << value << ' ';
    for (int32_t value : device.leds)
        out << value << ' ';
    out << '\n';
    const std::string temporary = path + '.' + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << out.str();
        if (!file.flush()) {
            logMessage(LMCAM_LOG_WARNING, "settings of \"%s\" cannot be kept in \"%s\"", device.entry.name.c_str(),
                       temporary.c_str());
            std::remove(temporary.c_str());
            return;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        logMessage(LMCAM_LOG_WARNING, "settings of \"%s\" cannot be kept in \"%s\"", device.entry.name.c_str(),
                   path.c_str());
        std::remove(temporary.c_str());
    }
}

} // namespace

void checkDevicesFile(VirtualDevice &device)
{
    const char *path = std::getenv("LMCAM_VIRTUAL_DEVICES");
    if (!path || !*path || device.unplugged)
        return;
    const int64_t now = steadyUs();
    int64_t due = device.nextFileCheckUs.load();
    const int64_t interval = 1000000 / std::max(1, device.entry.fps);
    // One look per frame interval: a stat costs little, but a call may come thousands of times a second.
    if (now < due || !device.nextFileCheckUs.compare_exchange_strong(due, now + interval))
        return;
    struct stat status;
    const FileStamp stamp = stat(path, &status) == 0 ? stampOf(status) : FileStamp();
    {
        std::lock_guard<std::mutex> lock(g_entriesMutex);
        if (g_lookedAtKnown && stamp == g_lookedAt)
            return;
    }
    markUnplugged(currentEntries());
}

int32_t enumerateDevices(lmcam_device_list *list)
{
    const std::vector<DeviceEntry> entries = currentEntries();
    std::memset(list, 0, sizeof *list);
    {
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        for (const DeviceEntry &e : entries) {
            lmcam_device_info &info = list->devices[list->count++];
            const auto renamed = g_renamed.find(e.name);
            copyText(info.description, renamed != g_renamed.end() ? renamed->second : e.label);
            copyText(info.unique_name, e.name);
            info.vendor_id = e.vendorId;
            info.product_id = e.productId;
            info.bus_speed = e.busSpeed;
        }
    }
    markUnplugged(entries);
    return LMCAM_OK;
}

int32_t openDevice(const char *uniqueName, lmcam_handle *handle)
{
    const std::vector<DeviceEntry> entries = currentEntries();
    for (const DeviceEntry &e : entries) {
        if (e.name != uniqueName)
            continue;
        if (e.refuseOpen) {
            logMessage(LMCAM_LOG_ERROR, "lmcam open: device \"%s\" refused to open", uniqueName);
            return LMCAM_ERR_IO;
        }
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        for (const auto &open : g_devices)
            if (open.second->entry.name == e.name && !open.second->unplugged)
                return LMCAM_ERR_BUSY;
        *handle = g_nextHandle++;
        auto device = std::make_shared<VirtualDevice>(e);
        restoreState(*device);
        g_devices[*handle] = std::move(device);
        logMessage(LMCAM_LOG_INFO, "lmcam open: \"%s\"", uniqueName);
        return LMCAM_OK;
    }
    logMessage(LMCAM_LOG_WARNING, "lmcam open: no device named \"%.*s\"", LMCAM_NAME_SIZE, uniqueName);
    return LMCAM_ERR_NO_DEVICE;
}

int32_t closeDevice(lmcam_handle handle)
{
    std::shared_ptr<VirtualDevice> device;
    {
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        const auto it = g_devices.find(handle);
        if (it == g_devices.end())
            return LMCAM_ERR_NOT_OPEN;
        device = std::move(it->second);
        g_devices.erase(it);
    }
    // Wait for a call still running on another thread before the device goes.
    std::lock_guard<std::mutex> deviceLock(device->mutex);
    keepState(*device);
    return LMCAM_OK;
}

void closeAllDevices()
{
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    for (const auto &open : g_devices) {
        std::lock_guard<std::mutex> deviceLock(open.second->mutex);
        keepState(*open.second);
    }
    g_devices.clear();
}

std::shared_ptr<VirtualDevice> findDevice(lmcam_handle handle)
{
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    const auto it = g_devices.find(handle);
    return it == g_devices.end() ? nullptr : it->second;
}

void renameDevice(const std::string &uniqueName, const std::string &description)
{
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    g_renamed[uniqueName] = description;
}

uint64_t acquireFrameBuffer(size_t size, uint8_t **data)
{
    std::lock_guard<std::mutex> lock(g_buffersMutex);
    std::vector<uint8_t> buffer;
    for (auto it = g_spare.begin(); it != g_spare.end(); ++it)
        if (it->size() == size) {
            buffer = std::move(*it);
            g_spare.erase(it);
            break;
        }
    if (buffer.empty())
        buffer.resize(size);
    const uint64_t ref = g_nextRef++;
    *data = buffer.data();
    g_lent.emplace(ref, std::move(buffer));
    return ref;
}

bool releaseFrameBuffer(uint64_t ref)
{
    std::lock_guard<std::mutex> lock(g_buffersMutex);
    const auto it = g_lent.find(ref);
    if (it == g_lent.end())
        return false;
    if (g_spare.size() >= kSpareBuffers)
        g_spare.erase(g_spare.begin());
    g_spare.push_back(std::move(it->second));
    g_lent.erase(it);
    return true;
}

} // namespace lmcam
