// RpgCompPack: the store a ClientHandle owns. Components and groups by name (byte order), one
// current component and one current group; see rpg_comp.h for the conventions of every operation.
#pragma once

#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "rgcomp/cb_object.h"
#include "rgcomp/json_form.h"
#include "rgcomp/rg_object.h"
#include "rgcomp/rpg_comp.h"
#include "rgcomp/rpg_comp_codes.h"

namespace velt {

// Not thread-safe: one handle, one thread at a time.
class RpgCompPack final : public IRpgComp {
 public:
  RpgCompPack() noexcept = default;
  RpgCompPack(const RpgCompPack&) = delete;
  RpgCompPack& operator=(const RpgCompPack&) = delete;
  ~RpgCompPack() override = default;

  int CBCreate(const char* name) override;
  int CBDestroy(const char* name) override;
  int CBSetCurr(const char* name) override;
  int NoOperation4() override { return kRpgOk; }
  int CBWrite(const char* name, std::string& text) override;
  int CBOpen(const char* name, const char* text, long length) override;
  int CBSelect(const char* name) override;
  int CBClose(const char* name) override;
  int CBSetValue(const char* name, const char* value) override;
  int CBSetVal(const char* name, const unsigned char* data, long length) override;
  int CBSetSubCBValue(const char* name) override;
  int CBGetValue(const char* name, char* buffer, int len) override;
  int CBGetVal(const char* name, unsigned char** data, long* length) override;
  int CBGetSubCBValue(const char* name) override;

  int RGCreate(const char* name, const char* columnNames) override;
  int RGDestroy(const char* name) override;
  int RGSetCurr(const char* name) override;
  int RGWrite(const char* name, std::string& text) override;
  int RGAddRow() override;
  int RGSetColByNameEntry2(const char* column, const char* value) override { return RGSetColByName(column, value); }
  int RGSetCol(int column, const char* value) override;
  int RGSetColByName(const char* column, const char* value) override;
  int RGSetVal(int column, const unsigned char* data, long length) override;
  int RGSetValByName(const char* column, const unsigned char* data, long length) override;
  int RGSetSubCBRGValueByName(const char* column, int kind) override;
  int RGSetSubCBRGValue(int column, int kind) override;
  int RGOpen(const char* name, const char* text, long length) override;
  int RGSelect(const char* name) override;
  int RGClose(const char* name) override;
  int NoOperation30() override { return kRpgOk; }
  int RGGetValue(int row, const char* column, char* buffer, int len) override;
  int RGGetColVal(int column, unsigned char** data, long* length) override;
  int RGGetVal(int row, const char* column, unsigned char** data, long* length) override;
  int RGGetColNames(char* buffer, int len) override;
  int RGGetColName(int column, char* buffer, int len) override;
  int RGGetRowNum(int* count) override;
  int RGGetColNum(int* count) override;
  int RGFetchRow() override;
  int RGGetColByNameEntry2(const char* column, char* buffer, int len) override { return RGGetColByName(column, buffer, len); }
  int RGGetCol(int column, char* buffer, int len) override;
  int RGGetColByName(const char* column, char* buffer, int len) override;
  int RGGetValByName(const char* column, unsigned char** data, long* length) override;
  int RGGetSubCBRGValueByName(const char* column, int kind) override;
  int RGGetSubCBRGValue(int column, int kind) override;
  int RGSetCurrRowIndex(int row) override;

  const char* LastError() const noexcept override { return lastError_; }

  // Read access for the handle's owner and tests.
  const CBObject* CurrentComponent() const noexcept { return currentComponent_; }
  const RGObject* CurrentGroup() const noexcept { return currentGroup_; }

 private:
  using Components = std::map<std::string, std::unique_ptr<CBObject>>;
  using Groups = std::map<std::string, std::unique_ptr<RGObject>>;

  // Runs one operation: maps exceptions to codes and records the message of a failure.
  template <typename Operation>
  int Run(Operation&& operation) noexcept;

  CBObject* FindComponent(const std::string& name) const noexcept;
  RGObject* FindGroup(const std::string& name) const noexcept;
  int DestroyComponent(const char* name);
  int DestroyGroup(const char* name);
  // Puts `object` under its name, replacing one that exists, and makes it current.
  void PutComponent(std::unique_ptr<CBObject> object);
  void PutGroup(std::unique_ptr<RGObject> object);

  int SetCurrentCell(int column, Json::Value value);
  int SetSubObject(int column, const std::string& name, int kind);
  int ReadCell(int row, int column, const Json::Value*& cell) const noexcept;
  int CopyCellText(int row, int column, char* buffer, int len) const;
  int DecodeCellInto(int row, int column, unsigned char** data, long* length);
  int ExtractCell(int column, const std::string& name, int kind, bool replace);

  Components components_;
  Groups groups_;
  CBObject* currentComponent_ = nullptr;
  RGObject* currentGroup_ = nullptr;
  JsonFormWriter writer_;
  const char* lastError_ = "";
};

template <typename Operation>
int RpgCompPack::Run(Operation&& operation) noexcept {
  int rc = kRpgInvalid;
  try {
    rc = operation();
  } catch (const std::bad_alloc&) {
    rc = kRpgNoMemory;
  } catch (const std::length_error&) {
    rc = kRpgNoMemory;
  } catch (...) {   // JsonCpp logic errors; the shape checks keep them from happening
    rc = kRpgInvalid;
  }
  if (rc != kRpgOk) lastError_ = RpgCompMessage(rc);
  return rc;
}

}  // namespace velt
