#pragma once

// The settings as the user sees them at this moment: the three number boxes and the nine check boxes of
// the settings page. The engine reads them at the moments it needs a value; implementations must allow
// reads from any thread while the user changes them.

namespace fw {

enum class NumberBox {
    Pages,     // "搜索页数_编辑框", 1 … 100
    Threads,   // "线程数量_编辑框", 1 … 20
    Interval,  // "搜索间隔_编辑框", 100 … 3000 milliseconds
};

enum class CheckBox {
    ExactMatch,        // "精准搜索_选择框"
    FilterLinks,       // "过滤链接_选择框"
    KeepNewestInView,  // "保证显示_选择框"
    Btrabbit,          // "Btrabbit_选择框"
    Zzs,               // "ZZS_选择框"
    Dss,               // "DSS_选择框"
    Btbook,            // "Btbook_选择框"
    Play7dds,          // "手机看片_选择框"
    PlayLexiang,       // "乐享电影_选择框"
};

inline constexpr int kNumberBoxCount = 3;
inline constexpr int kCheckBoxCount = 9;

class SettingsView {
  public:
    virtual ~SettingsView() = default;
    // The number in the box, read as a decimal number and truncated towards zero.
    virtual int Number(NumberBox box) const = 0;
    virtual bool IsChecked(CheckBox box) const = 0;
};

}  // namespace fw
