#pragma once
// Waking the bootloader, identifying it and reading the device's description into MemoAbout.

#include "protocol/DeviceContext.h"

namespace velor {

enum class IdentifyVariant { Detect, Write };

enum class IdentifyResult {
    NotFound,        // no identify reply: the operator was told, the port is closed
    UnknownVersion,  // a bootloader version we do not know: told, the port stays open
    Described,       // DeviceInfo is filled and the description is in MemoAbout
    Stopped,         // c.stop was seen before a command: told so; the port stays open
};

// Opens the chosen port, wakes and identifies the device and reads its description, with the
// variant's texts. EComPort passes through.
IdentifyResult IdentifyDevice(DeviceContext& c, IdentifyVariant variant);

// The description request alone, into MemoAbout (emptied first).
void ReadDescription(DeviceContext& c, IdentifyVariant variant);

}  // namespace velor
