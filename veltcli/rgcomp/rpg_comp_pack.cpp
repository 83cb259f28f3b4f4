// The store's component operations, lookups and replacement rules shared with the groups.
#include "rgcomp/rpg_comp_pack.h"

#include "rgcomp/cell_value.h"

namespace velt {

std::unique_ptr<IRpgComp> NewRpgCompPack() noexcept {
  return std::unique_ptr<IRpgComp>(new (std::nothrow) RpgCompPack());
}

CBObject* RpgCompPack::FindComponent(const std::string& name) const noexcept {
  const auto it = components_.find(name);
  return it == components_.end() ? nullptr : it->second.get();
}

RGObject* RpgCompPack::FindGroup(const std::string& name) const noexcept {
  const auto it = groups_.find(name);
  return it == groups_.end() ? nullptr : it->second.get();
}

void RpgCompPack::PutComponent(std::unique_ptr<CBObject> object) {
  CBObject* const raw = object.get();
  const auto it = components_.find(raw->Name());
  if (it != components_.end()) {
    it->second = std::move(object);   // replacing allocates nothing, so nothing is lost on failure
  } else {
    components_.emplace(raw->Name(), std::move(object));
  }
  currentComponent_ = raw;
}

void RpgCompPack::PutGroup(std::unique_ptr<RGObject> object) {
  RGObject* const raw = object.get();
  const auto it = groups_.find(raw->Name());
  if (it != groups_.end()) {
    it->second = std::move(object);
  } else {
    groups_.emplace(raw->Name(), std::move(object));
  }
  currentGroup_ = raw;
}

// A null name means the current component.
int RpgCompPack::DestroyComponent(const char* name) {
  auto it = components_.end();
  if (name != nullptr) {
    it = components_.find(name);
    if (it == components_.end()) return kCBNotFound;
  } else {
    if (currentComponent_ == nullptr) return kRpgInvalid;
    it = components_.find(currentComponent_->Name());
  }
  if (it->second.get() == currentComponent_) currentComponent_ = nullptr;
  components_.erase(it);
  return kRpgOk;
}

int RpgCompPack::CBCreate(const char* name) {
  return Run([&]() -> int {
    if (name == nullptr) return kRpgInvalid;
    if (FindComponent(name) != nullptr) return kCBExists;
    PutComponent(std::make_unique<CBObject>(name));
    return kRpgOk;
  });
}

int RpgCompPack::CBDestroy(const char* name) {
  return Run([&]() -> int { return DestroyComponent(name); });
}

int RpgCompPack::CBSetCurr(const char* name) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr) return kRpgInvalid;
    if (currentComponent_->Name() == name) return kRpgOk;
    return CBSelect(name);
  });
}

int RpgCompPack::CBSelect(const char* name) {
  return Run([&]() -> int {
    if (name == nullptr) return kRpgInvalid;
    CBObject* const found = FindComponent(name);
    if (found == nullptr) return kCBNotFound;
    currentComponent_ = found;
    return kRpgOk;
  });
}

int RpgCompPack::CBClose(const char* name) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr) return kRpgInvalid;
    return DestroyComponent(name);
  });
}

int RpgCompPack::CBWrite(const char* name, std::string& text) {
  return Run([&]() -> int {
    if (name == nullptr) return kRpgInvalid;
    const CBObject* const found = FindComponent(name);
    if (found == nullptr) return kCBNotFound;
    writer_.Write(found->Root(), text);
    return kRpgOk;
  });
}

int RpgCompPack::CBOpen(const char* name, const char* text, long length) {
  return Run([&]() -> int {
    if (name == nullptr || text == nullptr || length <= static_cast<long>(kJsonFormMarkLength)) return kRpgInvalid;
    if (CBObject* const found = FindComponent(name)) {
      currentComponent_ = found;
      return kRpgOk;
    }
    if (!HasJsonFormMark(text, static_cast<std::size_t>(length))) return kRpgNotDataRow;
    Json::Value root;
    const bool parsed = ParseJson(text + kJsonFormMarkLength, static_cast<std::size_t>(length) - kJsonFormMarkLength, root) &&
                        IsComponentRoot(root);
    // A text that is no component still leaves the new, empty component behind (and current).
    PutComponent(std::make_unique<CBObject>(name, parsed ? std::move(root) : Json::Value()));
    return parsed ? kRpgOk : kCBParseFailed;
  });
}

int RpgCompPack::CBSetValue(const char* name, const char* value) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr || value == nullptr) return kRpgInvalid;
    Json::Value cell;
    const int rc = TextCell(value, cell);
    if (rc == kRpgOk) currentComponent_->SetMember(name, std::move(cell));
    return rc;
  });
}

int RpgCompPack::CBSetVal(const char* name, const unsigned char* data, long length) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr || data == nullptr || length < 0) return kRpgInvalid;
    Json::Value cell;
    const int rc = EncodeCell(data, static_cast<std::size_t>(length), cell);
    if (rc == kRpgOk) currentComponent_->SetMember(name, std::move(cell));
    return rc;
  });
}

int RpgCompPack::CBSetSubCBValue(const char* name) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr) return kRpgInvalid;
    const CBObject* const source = FindComponent(name);
    if (source == nullptr) return kCBSubNotFound;
    if (!FitsNested(source->Root(), 1)) return kRpgInvalid;
    Json::Value copy = source->Root();   // taken first: the source may be the current component
    currentComponent_->SetMember(name, std::move(copy));
    return kRpgOk;
  });
}

int RpgCompPack::CBGetValue(const char* name, char* buffer, int len) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr || buffer == nullptr) return kRpgInvalid;
    std::string_view text;
    const int rc = CellText(currentComponent_->MemberOrAddNull(name), text);
    if (rc == kRpgOk) CopyBounded(text, buffer, len);
    return rc;
  });
}

int RpgCompPack::CBGetVal(const char* name, unsigned char** data, long* length) {
  return Run([&]() -> int {
    if (data == nullptr || length == nullptr) return kRpgInvalid;
    *data = nullptr;   // cleared first: no failure may leave an earlier, possibly freed pointer
    *length = 0;
    if (currentComponent_ == nullptr || name == nullptr) return kRpgInvalid;
    const Json::Value* member = currentComponent_->Member(name);
    std::vector<unsigned char>& buffer = currentComponent_->Buffer();
    std::size_t bytes = 0;
    const int rc = DecodeCell(member != nullptr ? *member : Json::Value::nullSingleton(), buffer, bytes);
    if (rc != kRpgOk) return rc;
    *data = buffer.data();
    *length = static_cast<long>(bytes);
    return kRpgOk;
  });
}

int RpgCompPack::CBGetSubCBValue(const char* name) {
  return Run([&]() -> int {
    if (currentComponent_ == nullptr || name == nullptr) return kRpgInvalid;
    const Json::Value* member = currentComponent_->Member(name);
    Json::Value copy = member != nullptr ? *member : Json::Value();
    if (!IsComponentRoot(copy)) return kRpgWrongKind;
    PutComponent(std::make_unique<CBObject>(name, std::move(copy)));
    return kRpgOk;
  });
}

}  // namespace velt
