// CBObject: one named component, a JSON object of named members (texts, Base64 texts, nested
// components), and the buffer that holds its last binary read-out.
#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace velt {

class CBObject {
 public:
  // `root` must satisfy IsComponentRoot (null until a member is set).
  explicit CBObject(std::string name, Json::Value root = Json::Value()) noexcept
      : name_(std::move(name)), root_(std::move(root)) {}

  const std::string& Name() const noexcept { return name_; }
  const Json::Value& Root() const noexcept { return root_; }

  // The member `name`, or null when the component has none.
  const Json::Value* Member(const std::string& name) const noexcept;
  // Sets (or replaces) a member; a root still null becomes an object. Throws std::bad_alloc.
  void SetMember(const std::string& name, Json::Value value);
  // The member, added as null when missing (a text read of a missing member records it).
  const Json::Value& MemberOrAddNull(const std::string& name);

  // Holds the bytes of the last CBGetVal; reused by the next one.
  std::vector<unsigned char>& Buffer() noexcept { return buffer_; }

 private:
  std::string name_;
  Json::Value root_;
  std::vector<unsigned char> buffer_;
};

}  // namespace velt
