#include "CaseFolder.h"

#include <cstdio>
#include <fstream>

namespace stress {

namespace fs = std::filesystem;

CaseFolder::CaseFolder(const fs::path& work, uint64_t caseSeed) {
    if (work.empty())
        return;
    char name[48];
    std::snprintf(name, sizeof name, "case-%016llx", static_cast<unsigned long long>(caseSeed));
    std::error_code error;
    fs::remove_all(work / name, error);
    fs::create_directories(work / name / "sub" / "deeper", error);
    if (error)
        return;
    root = work / name;
    write("a.txt", "Text of a.\n");
    write("b.wav", "RIFF");
    write("c", "");
    write(fs::path("sub") / "d.txt", "\xEF\xBB\xBFwith a BOM");
    write("e.png", "not a picture");
}

CaseFolder::~CaseFolder() {
    std::error_code error;
    if (made())
        fs::remove_all(root, error);
}

std::u16string CaseFolder::inside(const std::u16string& name) const {
    return root.u16string() + u"/" + name;
}

std::u16string CaseFolder::fileToRead(Random& r) const {
    const std::u16string name = r.pick<std::u16string>(
        {u"a.txt", u"b.wav", u"c", u"sub/d.txt", u"missing.txt", u"missing/x.txt", u"\u00fc.txt",
         u"out.txt", u"sub", u"", u"e.png", u"\xD800.txt"});
    if (!made() || r.chance(20))
        return name; // resolved by the host, or read where it is
    return inside(name);
}

std::u16string CaseFolder::fileToWrite(Random& r) const {
    if (!made())
        return u"";
    return inside(r.pick<std::u16string>({u"a.txt", u"out.txt", u"sub/d.txt", u"missing/x.txt",
                                          u"\u00fc.txt", u"sub", u"", u"\xD800.txt"}));
}

std::u16string CaseFolder::folderToList(Random& r) const {
    if (!made())
        return u"";
    const std::u16string name = r.pick<std::u16string>(
        {u"", u"sub", u"sub/deeper", u"a.txt", u"missing", u"sub/d.txt", u"."});
    if (name.empty())
        return r.chance(50) ? root.u16string() : u""; // empty: the host's default folder
    return inside(name);
}

std::string CaseFolder::pickedPath(Random& r) const {
    return r.pick<std::string>({(root / "picked.wav").string(), (root / "x.png").string(),
                                (root / "a.txt").string(), "", "\xff\xfe", "\xF0\x9F\x98\x80.txt",
                                std::string(2000, 'p'), "C:\\folder\\file.mid", "relative.sf2"});
}

void CaseFolder::change(Random& r) const {
    if (!made())
        return;
    const fs::path name =
        fs::path(r.pick<std::u16string>({u"a.txt", u"b.wav", u"sub/d.txt", u"new.txt",
                                         u"sub/deeper/f.txt", u"\u00fc.txt", u"out.txt"}));
    std::error_code error;
    switch (r.below(4)) {
    case 0:
        fs::remove(root / name, error);
        break;
    case 1:
        fs::remove_all(root / "sub" / "deeper", error);
        break;
    case 2:
        fs::create_directories(root / "sub" / "deeper", error);
        break;
    default: {
        std::string bytes(r.chance(80) ? r.below(200) : r.below(70000), 'x');
        for (char& c : bytes)
            c = char(r.word());
        write(name, bytes);
        break;
    }
    }
}

bool CaseFolder::holds(const fs::path& listed) const {
    if (!made())
        return false;
    const fs::path relative = listed.lexically_normal().lexically_relative(root.lexically_normal());
    if (relative.empty() || relative == "." || relative.is_absolute())
        return false;
    for (const fs::path& part : relative)
        if (part == "..")
            return false;
    return true;
}

void CaseFolder::write(const fs::path& relative, const std::string& bytes) const {
    std::ofstream out(root / relative, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace stress
