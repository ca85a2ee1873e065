// Text forms of the device-address record. Not built yet: every entry point reports that
// plainly instead of producing a wrong text.
#include <stdexcept>

#include "pqcore/PqDevice.h"

namespace pqcore {

namespace {
[[noreturn]] void NotYet(const char* what) {
    throw std::logic_error(std::string(what) + ": device text forms are not implemented yet");
}
}  // namespace

std::wstring& PqAtomADP::ToWString(std::wstring&) const { NotYet("ToWString"); }
std::string& PqAtomADP::ToString(std::string&) const { NotYet("ToString"); }
int PqAtomADP::FromWString(const std::wstring&) { NotYet("FromWString"); }
int PqAtomADP::FromString(const std::string&) { NotYet("FromString"); }

std::string& PqDevice::ToString(std::string&) const { NotYet("ToString"); }
std::istream& PqDevice::Read(std::istream&) { NotYet("Read"); }
std::ostream& PqDevice::Write(std::ostream&) const { NotYet("Write"); }
std::istream& PqDevice::ParseDevice(std::istream&) { NotYet("ParseDevice"); }
std::string& PqDevice::ToDeviceString(std::string&) const { NotYet("ToDeviceString"); }
std::string& PqDevice::ToKeyedString(std::string&) const { NotYet("ToKeyedString"); }
std::wstring PqDevice::LabelKey() const { NotYet("LabelKey"); }

}  // namespace pqcore
