#pragma once

// The gates the protocol object's command exports open with, and the packing
// of a new-protocol command for the exports that also serve the maker's
// new-protocol board. Internal to the protocol library.

#include "protocol/Em_Gnss.h"
#include "protocol/Em_IFormat.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_TlvPacker.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <initializer_list>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {
namespace command_gates {

// The format when the receiver is the maker's, else null.
inline Em_IFormat* MakerFormat(const Em_Gnss& gnss) { return gnss.IsOrvelManufacturer() ? gnss.Format() : nullptr; }

// The format when the receiver speaks the maker's old protocol (a main board
// of a type other than 0), else null.
inline Em_IFormat* OldFormat(const Em_Gnss& gnss) {
    return gnss.IsOrvelOldProtocolReceiver() ? gnss.Format() : nullptr;
}

// The old-protocol format with its records (modem, radio, what has been
// seen) when the receiver speaks the maker's old protocol, else null.
inline Em_Format_OrvelNav* OldNavFormat(const Em_Gnss& gnss) {
    return dynamic_cast<Em_Format_OrvelNav*>(OldFormat(gnss));
}

// The maker's new-protocol receiver with its board in place: only then can a
// new-protocol command be sent.
inline bool NewProtocolBoard(const Em_Gnss& gnss) {
    const Em_IFormat* format = gnss.Format();
    return gnss.IsOrvelNewProtocolReceiver() && format != nullptr && format->MainBoard() != nullptr;
}

// The new-protocol board's report parser, with the records its replies
// left, when the receiver has the new-protocol board; else null.
inline Em_RepParser_Q50* NewParser(const Em_Gnss& gnss) {
    if (!NewProtocolBoard(gnss)) return nullptr;
    return dynamic_cast<Em_RepParser_Q50*>(gnss.Format()->MainBoard()->RepParser());
}

// One new-protocol command (operation item first) when the receiver has the
// new-protocol board; nothing otherwise. The packer takes the board's command
// builder only to pass it through and reads nothing of it, so none is given.
inline bool PackNewCommand(const Em_Gnss& gnss, std::vector<_STR_CMD>& out, std::initializer_list<TlvItem> items,
                           uint32_t commandId) {
    if (!NewProtocolBoard(gnss)) return false;
    return PackTlvCommand(nullptr, out, std::span<const TlvItem>(items.begin(), items.size()), commandId);
}

}  // namespace command_gates
}  // namespace FJParse
}  // namespace Fjarnis2011
