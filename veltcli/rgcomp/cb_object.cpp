// Member access of a component.
#include "rgcomp/cb_object.h"

namespace velt {

const Json::Value* CBObject::Member(const std::string& name) const noexcept {
  if (!root_.isObject()) return nullptr;
  return root_.find(name.data(), name.data() + name.size());
}

void CBObject::SetMember(const std::string& name, Json::Value value) {
  root_[name] = std::move(value);
}

const Json::Value& CBObject::MemberOrAddNull(const std::string& name) {
  return root_[name];
}

}  // namespace velt
