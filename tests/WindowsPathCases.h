// The Windows path cases, in one table for both places that hold to them: the
// path functions on the text alone (tests/unit/WindowsPathTest.cpp) and the
// file-name modules through the export (tests/blackbox/FileNamesTest.cpp).
#pragma once

namespace windowspathcases {

// A path split into its folder and its file name.
struct SplitCase {
    const char16_t* path;
    const char16_t* folder;
    const char16_t* fileName;
};

inline constexpr SplitCase splitCases[] = {
    {u"C:\\dir\\song.wav", u"C:\\dir", u"song.wav"},
    {u"C:\\dir\\", u"C:\\dir", u""},
    {u"C:\\dir/", u"C:\\dir", u""},
    {u"C:\\dir//song.wav", u"C:\\dir", u"song.wav"},
    {u"C:\\dir\\\\", u"C:\\dir", u""},
    {u"C:\\dir\\\\/", u"C:\\dir", u""},
    {u"song.wav", u"", u"song.wav"},
    {u"C:song.wav", u"C:", u"song.wav"},
    {u"C:\\", u"C:\\", u""},
    {u"C:", u"C:", u""},
    {u"\\song.wav", u"\\", u"song.wav"},
    {u"//server/share/a.wav", u"//server/share", u"a.wav"},
    {u"\\\\server\\share\\a.wav", u"\\\\server\\share", u"a.wav"},
    {u"//server", u"//server", u""},
    {u"/", u"/", u""},
    {u"", u"", u""},
    // Separators after the root directory belong to it.
    {u"C:\\\\\\dir", u"C:\\", u"dir"},
    {u"C:\\\\", u"C:\\\\", u""},
    {u"///x", u"/", u"x"},
    {u"\\", u"\\", u""},
    // Two separators need a name after them, and must be the same, to make a root name.
    {u"//", u"//", u""},
    {u"\\/server/a", u"\\/server", u"a"},
    {u"\\\\server\\share", u"\\\\server\\", u"share"}, // the root directory ends the folder
    {u"//server/", u"//server/", u""},
    {u"//server//share", u"//server/", u"share"},
    {u"//C:/x", u"//C:/", u"x"},
    // Any character before ":" makes a drive.
    {u"1:x", u"1:", u"x"},
    {u"/:x", u"/:", u"x"},
    {u"C:C:", u"C:", u"C:"},
    {u"a/b/c", u"a/b", u"c"},
    {u"dir//", u"dir", u""},
    {u"C:\\d\u00E9j\u00E0\\\u266B.wav", u"C:\\d\u00E9j\u00E0", u"\u266B.wav"},
};

// A name appended to a folder as the Windows path operator does.
struct AppendCase {
    const char16_t* folder;
    const char16_t* name;
    const char16_t* result;
};

inline constexpr AppendCase appendCases[] = {
    {u"C:\\dir", u"song.wav", u"C:\\dir\\song.wav"},
    {u"C:\\dir\\", u"song.wav", u"C:\\dir\\song.wav"},
    {u"C:\\dir/", u"song.wav", u"C:\\dir/song.wav"},
    {u"C:\\", u"song.wav", u"C:\\song.wav"},
    {u"C:", u"song.wav", u"C:song.wav"},
    {u"dir", u"sub/song.wav", u"dir\\sub/song.wav"},
    {u"a/b", u"c", u"a/b\\c"}, // the added separator is always "\"
    {u"C:\\dir", u"D:\\x.wav", u"D:\\x.wav"},
    {u"C:\\dir", u"D:x.wav", u"D:x.wav"},
    {u"C:\\dir", u"C:x.wav", u"C:\\dir\\x.wav"},
    {u"C:\\dir", u"\\x.wav", u"C:\\x.wav"},
    {u"//server/share", u"/x.wav", u"//server/x.wav"},
    {u"", u"song.wav", u"song.wav"},
    {u"C:\\dir", u"", u"C:\\dir"},
    {u"", u"", u""},
    // One side empty: the other unchanged, separators and all.
    {u"C:\\dir\\", u"", u"C:\\dir\\"},
    {u"", u"sub/", u"sub/"},
    {u"", u"sub\\", u"sub\\"},
    {u"C:\\dir//", u"", u"C:\\dir//"},
    // Root names compare as text, letter case counting.
    {u"C:\\dir", u"c:x.wav", u"c:x.wav"},
    {u"C:\\dir", u"C:\\x.wav", u"C:\\x.wav"},
    {u"C:\\dir", u"C:", u"C:\\dir\\"},
    {u"dir", u"/x", u"/x"},
    {u"//server/share", u"/x", u"//server/x"},
    {u"//server/share", u"//other/y", u"//other/y"},
    {u"//server", u"x", u"//serverx"},
    {u"\\", u"x", u"\\x"},
    {u"a", u"b", u"a\\b"},
};

} // namespace windowspathcases
