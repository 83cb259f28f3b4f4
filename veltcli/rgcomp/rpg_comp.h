// IRpgComp: the per-handle store of named components and repeating groups, as the exported
// VELTCLI_CB*/VELTCLI_RG* functions and the CVELTCli methods reach it.
//
// Conventions (each operation states only its exceptions):
//  - Results are the codes of rpg_comp_codes.h; a failure also records its message as LastError().
//  - No operation throws; allocation failure returns kRpgNoMemory.
//  - Text outputs into (buffer, len) copy at most len bytes; a text of len bytes or more fills the
//    buffer without a terminating zero.
//  - Pointers returned through `unsigned char** data` belong to the store (reused by the next call of
//    the same getter on the same object), except RGGetValByName's block: the caller owns it and
//    releases it with free() (VELTCLI_FreeMemory).
//  - Column numbers are 0-based positions in the row arrays; row numbers start at 1 (0 = header).
//  - Not thread-safe: a store belongs to one handle, used by one thread at a time.
#pragma once

#include <memory>
#include <string>

namespace velt {

// Virtual operations in the slot order of the store's table; slots 4, 7, 20, 28, 30 and 39 are not
// reached by the exported functions but keep their places.
class IRpgComp {
 public:
  virtual ~IRpgComp() = default;                                                               // 0
  virtual int CBCreate(const char* name) = 0;                                                  // 1
  virtual int CBDestroy(const char* name) = 0;                                                 // 2
  virtual int CBSetCurr(const char* name) = 0;                                                 // 3
  virtual int NoOperation4() = 0;                                                              // 4
  // Appends nothing to the packet: `text` receives "J1.0" + compact JSON + line feed.
  virtual int CBWrite(const char* name, std::string& text) = 0;                                // 5
  // `text`/`length`: the value the exported function read with VELTCLI_GetVal.
  virtual int CBOpen(const char* name, const char* text, long length) = 0;                     // 6
  virtual int CBSelect(const char* name) = 0;                                                  // 7
  virtual int CBClose(const char* name) = 0;                                                   // 8
  virtual int CBSetValue(const char* name, const char* value) = 0;                             // 9
  virtual int CBSetVal(const char* name, const unsigned char* data, long length) = 0;          // 10
  virtual int CBSetSubCBValue(const char* name) = 0;                                           // 11
  virtual int CBGetValue(const char* name, char* buffer, int len) = 0;                         // 12
  virtual int CBGetVal(const char* name, unsigned char** data, long* length) = 0;              // 13
  virtual int CBGetSubCBValue(const char* name) = 0;                                           // 14
  virtual int RGCreate(const char* name, const char* columnNames) = 0;                         // 15
  virtual int RGDestroy(const char* name) = 0;                                                 // 16
  virtual int RGSetCurr(const char* name) = 0;                                                 // 17
  virtual int RGWrite(const char* name, std::string& text) = 0;                                // 18
  virtual int RGAddRow() = 0;                                                                  // 19
  virtual int RGSetColByNameEntry2(const char* column, const char* value) = 0;                 // 20
  virtual int RGSetCol(int column, const char* value) = 0;                                     // 21
  virtual int RGSetColByName(const char* column, const char* value) = 0;                       // 22
  virtual int RGSetVal(int column, const unsigned char* data, long length) = 0;                // 23
  virtual int RGSetValByName(const char* column, const unsigned char* data, long length) = 0;  // 24
  virtual int RGSetSubCBRGValueByName(const char* column, int kind) = 0;                       // 25
  virtual int RGSetSubCBRGValue(int column, int kind) = 0;                                     // 26
  virtual int RGOpen(const char* name, const char* text, long length) = 0;                     // 27
  virtual int RGSelect(const char* name) = 0;                                                  // 28
  virtual int RGClose(const char* name) = 0;                                                   // 29
  virtual int NoOperation30() = 0;                                                             // 30
  virtual int RGGetValue(int row, const char* column, char* buffer, int len) = 0;              // 31
  virtual int RGGetColVal(int column, unsigned char** data, long* length) = 0;                 // 32
  virtual int RGGetVal(int row, const char* column, unsigned char** data, long* length) = 0;   // 33
  virtual int RGGetColNames(char* buffer, int len) = 0;                                        // 34
  virtual int RGGetColName(int column, char* buffer, int len) = 0;                             // 35
  virtual int RGGetRowNum(int* count) = 0;                                                     // 36
  virtual int RGGetColNum(int* count) = 0;                                                     // 37
  virtual int RGFetchRow() = 0;                                                                // 38
  virtual int RGGetColByNameEntry2(const char* column, char* buffer, int len) = 0;             // 39
  virtual int RGGetCol(int column, char* buffer, int len) = 0;                                 // 40
  virtual int RGGetColByName(const char* column, char* buffer, int len) = 0;                   // 41
  virtual int RGGetValByName(const char* column, unsigned char** data, long* length) = 0;      // 42
  virtual int RGGetSubCBRGValueByName(const char* column, int kind) = 0;                       // 43
  virtual int RGGetSubCBRGValue(int column, int kind) = 0;                                     // 44
  virtual int RGSetCurrRowIndex(int row) = 0;                                                  // 45

  // GBK message of the last failure ("" for codes without one); unchanged by successes.
  virtual const char* LastError() const noexcept = 0;
};

// The store a ClientHandle owns (an RpgCompPack); null when memory is exhausted.
std::unique_ptr<IRpgComp> NewRpgCompPack() noexcept;

}  // namespace velt
