// The two flat-address forms the families build on: the bit form (address = the record's number)
// and the word form (address = number / 16, bit = number % 16). Each starts from a fresh
// PlcAddress; families then set channel, network, station and block codes themselves.
#pragma once

#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

// False (kind 0) for a data type that has no flat kind.
bool DeviceToBitForm(const pqcore::PqDevice& device, PlcAddress& address);
bool DeviceToWordForm(const pqcore::PqDevice& device, PlcAddress& address);

// Clear the device first; false (device left cleared) for a kind the form does not carry.
bool BitFormToDevice(const PlcAddress& address, pqcore::PqDevice& device);
bool WordFormToDevice(const PlcAddress& address, pqcore::PqDevice& device);
