#pragma once

// The frame format that the protocol object owns: it cuts the received byte
// stream into frames, creates and owns the main board for a MAINBD_OEM_TYPE,
// hands the board's frames to it, and records after each frame which parsed
// data changed. The maker's old and new protocols and other makers' receivers
// are its three implementations. It also carries the board-level value and
// command operations that the protocol object's exports forward to; their
// default bodies reach the main board.

#include "protocol/Em_Types.h"
#include "protocol/boards/Em_BoardTypes.h"
#include "protocol/boards/Em_ICmdPaker.h"

#include <cstdint>
#include <memory>

namespace Fjarnis2011 {
namespace FJParse {

class RingBuffer;
class EmIMainBoard;

class Em_IFormat {
public:
    // The format reads the receive buffer that the protocol object owns; the
    // buffer outlives every format built over it.
    explicit Em_IFormat(RingBuffer& ring);
    // Destroys the main board (with its builder, parser and buffer).
    virtual ~Em_IFormat();
    Em_IFormat(const Em_IFormat&) = delete;
    Em_IFormat& operator=(const Em_IFormat&) = delete;

    // Examines the bytes at the first unconsumed position: true when the
    // caller should call again (a frame was consumed or a byte skipped), false
    // when nothing more can be done until more bytes arrive. After a true
    // result, `changeMask` is non-zero only when the consumed frame changed
    // parsed data, and `messageClass` says what kind of data.
    virtual bool ParseNextFrame() = 0;
    // Replaces the main board by one of type t; false (board kept) when the
    // format cannot serve t.
    virtual bool Reset_GnsMd(MAINBD_OEM_TYPE t) = 0;

    // Values of the current solution as the board's report parser stores
    // them; the defaults without a board are 0.0 (-1.0 for the age).
    virtual double Pos_Latitude();       // radians
    virtual double Pos_Longitude();      // radians
    virtual double Pos_Height();         // metres
    virtual double Prec_Rms();
    virtual double Prec_Horizontal();
    virtual double Prec_Height();
    virtual double Dop_P();
    virtual double Dop_H();
    virtual double Dop_V();
    virtual double Dop_T();
    virtual double Dop_G();
    virtual double Rmc_Speed();          // knots
    virtual double Rmc_Course();         // radians
    virtual void Get_Gnss_Baseinfo(BASEINFO& out);
    // Copies the last GGA sentence (at most 1024 bytes: `text` must hold that
    // many) and stores its length; nothing without a board or with a null
    // argument.
    virtual void Get_Gnss_Gpgga(int kind, unsigned char* text, unsigned* length);
    virtual int Pos_Status();
    virtual double Pos_DiffAge();        // seconds; -1.0 when absent

    // Board commands: each appends the board's records to `out`; nothing
    // without a board.
    virtual void Get_Gnss_Inite(CmdList& out, int extra);
    virtual void Get_Gnss_StartBase(CmdList& out, int extra);
    virtual void Get_Gnss_StartRover(CmdList& out, int extra);
    virtual void Get_Gnss_Reset(CmdList& out, int extra);
    virtual void Set_Gnss_ElevDgre(CmdList& out, int degrees, double unused, int selector);
    virtual void Set_Gnss_PosFrq(CmdList& out, GNSS_FRQ frq);
    virtual void Send_Gnss_Obs(CmdList& out, GNSS_FRQ frq);
    virtual void Send_Gnss_Ephemeris(CmdList& out, GNSS_FRQ frq);
    virtual void Send_Gnss_EphemSat(CmdList& out, unsigned satellite);
    virtual void Set_Gnss_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra);
    virtual void Set_Gnss_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release);
    virtual void Get_Gnss_ElevMask(CmdList& out);
    virtual void Send_Gnss_UnlogData(CmdList& out);
    // Carries correction bytes to the receiver, in the format's own framing.
    virtual void Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) = 0;
    virtual void Get_PassCom_Char(PASSCOMCHAR& out);
    virtual void Get_Cmd_PassCom(CmdList& out, int port);
    // The report parser's NMEA-parsing switch; nothing without a board.
    virtual void Set_GNSS_ParseNmea(bool on);
    // Told after the protocol object dropped every buffered byte; a format
    // that keeps bytes of its own past the receive buffer drops them too.
    virtual void DataCleared() {}

    EmIMainBoard* MainBoard() const { return mainBoard_.get(); }
    RingBuffer& Ring() const { return ring_; }

    // The head every format keeps.
    int messageClass = 0;       // class for the data callback (1: decoded by the board)
    int makerCode = 0;          // GNSS_MANUFACTURER: 1 other makers, 2 the maker's formats
    int messageId = -1;         // id of the last old-protocol reply
    uint32_t changeMask = 0;    // change bits of the last consumed frame
    int comStatus = COM_STATUS_SERIAL;  // Com_Status: link kind for the maker's packers
    uint32_t baseConfigWord = 0;        // copy of bytes 18-21 of the base configuration

protected:
    // Installs a new board (the old one is destroyed first); null leaves none.
    void ReplaceMainBoard(std::unique_ptr<EmIMainBoard> board);

private:
    RingBuffer& ring_;
    std::unique_ptr<EmIMainBoard> mainBoard_;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
