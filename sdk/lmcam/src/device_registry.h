// Open devices by handle, and the frame buffers lent to callers.
#pragma once

#include "virtual_device.h"

#include <cstdint>
#include <memory>

namespace lmcam {

// Re-reads the devices file, marks open devices whose entry is gone as unplugged and fills
// the list. A file that cannot be used (unreadable, not valid, not a regular file) leaves the
// devices of the last valid one; a missing file has none.
int32_t enumerateDevices(lmcam_device_list *list);
// Re-reads the devices file when it changed since it was last read, at most once per frame
// interval of the device, so that an open device whose entry is gone fails its next calls
// without waiting for an enumeration. Called without the device's lock.
void checkDevicesFile(VirtualDevice &device);
int32_t openDevice(const char *uniqueName, lmcam_handle *handle);
int32_t closeDevice(lmcam_handle handle);
// Closes every device (lmcam_api_destroy).
void closeAllDevices();
// The open device of a handle, or null.
std::shared_ptr<VirtualDevice> findDevice(lmcam_handle handle);
// Remembers a name given with lmcam_set_device_name; enumeration shows it as the description.
void renameDevice(const std::string &uniqueName, const std::string &description);

// A buffer of at least size bytes, lent until releaseFrameBuffer; returns its reference.
uint64_t acquireFrameBuffer(size_t size, uint8_t **data);
// Gives a lent buffer back; false when the reference is unknown (never lent, or released).
bool releaseFrameBuffer(uint64_t ref);

} // namespace lmcam
