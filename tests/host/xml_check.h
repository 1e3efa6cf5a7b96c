#pragma once

#include <map>
#include <string>
#include <vector>

// A strict-enough XML well-formedness check for the replay page in tests: balanced tags, quoted
// attributes, no bare '<' or '&' in text or attribute values.
namespace hosttest {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// False with a reason when the text is not well-formed; otherwise every start tag, in order.
bool CheckXml(const std::string& text, std::vector<XmlElement>& elements, std::string& error);

}  // namespace hosttest
