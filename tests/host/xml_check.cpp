#include "tests/host/xml_check.h"

#include <cctype>
#include <cstring>

namespace hosttest {

namespace {

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || std::strchr(":_-.", c) != nullptr;
}

bool CleanText(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            return false;
        }
        if (text[i] == '&') {
            std::size_t semicolon = text.find(';', i);
            if (semicolon == std::string::npos || semicolon == i + 1 || semicolon - i > 10) {
                return false;
            }
        }
    }
    return true;
}

struct Scanner {
    const std::string& text;
    std::size_t at = 0;

    std::string Name() {
        std::size_t start = at;
        while (at < text.size() && IsNameChar(text[at])) {
            ++at;
        }
        return text.substr(start, at - start);
    }
    void Space() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
            ++at;
        }
    }
    // After '<name': attributes up to '>' or '/>'.
    bool StartTag(XmlElement& element, bool& empty, std::string& error) {
        for (;;) {
            Space();
            if (text.compare(at, 2, "/>") == 0 || text.compare(at, 1, ">") == 0) {
                empty = text[at] == '/';
                at += empty ? 2 : 1;
                return true;
            }
            std::string name = Name();
            if (name.empty() || text.compare(at, 2, "=\"") != 0) {
                error = "bad attribute in <" + element.name + "> at " + std::to_string(at);
                return false;
            }
            std::size_t close = text.find('"', at + 2);
            if (close == std::string::npos) {
                error = "unterminated attribute";
                return false;
            }
            std::string value = text.substr(at + 2, close - at - 2);
            if (!CleanText(value) || element.attributes.count(name) != 0) {
                error = "bad or repeated attribute value of " + name;
                return false;
            }
            element.attributes[name] = value;
            at = close + 1;
        }
    }
};

bool SkipPast(Scanner& scan, const char* marker, std::string& error) {
    std::size_t end = scan.text.find(marker, scan.at);
    if (end == std::string::npos) {
        error = std::string("missing ") + marker;
        return false;
    }
    scan.at = end + std::strlen(marker);
    return true;
}

}  // namespace

bool CheckXml(const std::string& text, std::vector<XmlElement>& elements, std::string& error) {
    Scanner scan{text};
    std::vector<std::string> open;
    bool rootSeen = false;
    while (scan.at < text.size()) {
        std::size_t next = text.find('<', scan.at);
        std::string between =
            text.substr(scan.at, next == std::string::npos ? std::string::npos : next - scan.at);
        if (!CleanText(between) ||
            (open.empty() && between.find_first_not_of(" \r\n\t") != std::string::npos)) {
            error = "bad text near " + std::to_string(scan.at);
            return false;
        }
        if (next == std::string::npos) {
            break;
        }
        scan.at = next;
        if (text.compare(scan.at, 9, "<!DOCTYPE") == 0) {
            if (!SkipPast(scan, ">", error)) {
                return false;
            }
        } else if (text.compare(scan.at, 4, "<!--") == 0) {
            if (!SkipPast(scan, "-->", error)) {
                return false;
            }
        } else if (text.compare(scan.at, 9, "<![CDATA[") == 0) {
            if (!SkipPast(scan, "]]>", error)) {
                return false;
            }
        } else if (text.compare(scan.at, 2, "</") == 0) {
            scan.at += 2;
            std::string name = scan.Name();
            scan.Space();
            if (open.empty() || open.back() != name || text.compare(scan.at, 1, ">") != 0) {
                error = "unexpected </" + name + ">";
                return false;
            }
            open.pop_back();
            ++scan.at;
        } else {
            ++scan.at;
            XmlElement element;
            element.name = scan.Name();
            bool empty = false;
            if (element.name.empty() || (open.empty() && rootSeen) || !scan.StartTag(element, empty, error)) {
                error = error.empty() ? "bad tag at " + std::to_string(next) : error;
                return false;
            }
            rootSeen = true;
            if (!empty) {
                open.push_back(element.name);
            }
            elements.push_back(element);
        }
    }
    if (!open.empty() || !rootSeen) {
        error = open.empty() ? "no root element" : "unclosed <" + open.back() + ">";
        return false;
    }
    return true;
}

}  // namespace hosttest
