#include "photos/decoration_script.h"

#include "platform/text.h"

namespace tarvelon {
namespace {

// A path that ImageMagick could read as an option or a "coder:" prefix is
// anchored to the current folder.
std::string Anchored(const std::string& hostPath) {
  if (hostPath.empty() || hostPath[0] == '/') return hostPath;
  return "./" + hostPath;
}

class PlanBuilder {
 public:
  PlanBuilder(DecorationPlan& plan, const DecorationFolders& folders)
      : plan_(plan), work_(Anchored(folders.workPrefix)), current_(Anchored(folders.photo)) {}

  std::string Work(const std::string& name) {
    for (const auto& known : plan_.workFiles)
      if (known == name) return work_ + name;
    plan_.workFiles.push_back(name);
    return work_ + name;
  }
  void Add(std::vector<std::string> args) { plan_.commands.push_back(std::move(args)); }
  // The picture the next mark is laid on.
  const std::string& Current() const { return current_; }
  void Produced(const std::string& name) {
    current_ = Work(name);
    plan_.finalWorkFile = name;
  }

 private:
  DecorationPlan& plan_;
  std::string work_;
  std::string current_;
};

std::string Offset(int x, int y) { return "+" + std::to_string(x) + "+" + std::to_string(y); }

}  // namespace

DecorationPlan PlanDecoration(const MarkChoice& choice, int width, int height, const DecorationFolders& folders) {
  DecorationPlan plan;
  PlanBuilder b(plan, folders);
  const std::string e = Anchored(folders.programFolder);
  std::string discount = choice.discount;
  bool inTag = choice.inTag;

  if (choice.atpBand) {
    plan.marks += "ATP";
    const int bandWidth = width < 640 ? 480 : 640;
    const std::string band = e + (width < 640 ? "atp480.png" : "atp640.png");
    b.Add({b.Current(), "(", band, ")", "-geometry", Offset((width - bandWidth) / 2, 0), "-composite",
           b.Work("step0.jpg")});
    b.Produced("step0.jpg");
  }
  if (choice.zBadge) {
    plan.marks += "TZ";
    b.Add({b.Current(), "(", e + "tz.png", ")", "-geometry", "+5+5", "-composite", b.Work("step1.jpg")});
    b.Produced("step1.jpg");
  }
  if (!choice.saleStatus.empty()) {
    plan.marks += AnsiUpper(choice.saleStatus.substr(0, 1));
    b.Add({b.Current(), "(", e + choice.saleStatus + ".png", ")", "-alpha", "on", "-compose", "dissolve", "-define",
           "compose:args=20", "-gravity", "Center", "-composite", b.Work("step2.jpg")});
    b.Add({b.Work("step2.jpg"), "(", e + choice.saleStatus + "-a.png", ")", "-gravity", "Center", "-composite",
           b.Work("step3.jpg")});
    b.Produced("step3.jpg");
  }
  if (choice.dwaLabel) {
    // The label replaces the discount badge and the logo.
    discount.clear();
    inTag = false;
    plan.marks += "dwa";
    b.Add({b.Current(), "(", e + "dwa.png", ")", "-compose", "dissolve", "-define", "compose:args=80", "-gravity",
           "North", "-composite", b.Work("step4.jpg")});
    b.Produced("step4.jpg");
  }
  if (!discount.empty()) {
    plan.marks += "T";
    const bool small = inTag;
    b.Add({"-size", small ? "90x50" : "100x60", "-gravity", "center", "-background", "white", "-font", "Tahoma-Bold",
           "-pointsize", small ? "50" : "60", "-fill", "red", "-transparent", "white", "caption:-" + discount,
           b.Work("step1.png")});
    b.Add({e + (small ? "remise_p66.png" : "remise.png"), "(", b.Work("step1.png"), ")", "-geometry",
           small ? "+25+5" : "+30+10", "-composite", b.Work("step2.png")});
    const int x = small ? (width - 165) / 2 : (width - 200) / 2;
    const int y = small ? height - 66 : height - 80;
    b.Add({b.Current(), "(", b.Work("step2.png"), ")", "-geometry", Offset(x, y), "-composite", b.Work("step4.jpg")});
    b.Produced("step4.jpg");
  }
  if (inTag) {
    plan.marks += "T";
    std::string geometry = "+20+0";
    if (choice.centredLogo) {
      plan.marks += "C";
      geometry = Offset((width - 228) / 2, 0);
    }
    b.Add({b.Current(), "(", Anchored(folders.tagImage), ")", "-geometry", geometry, "-composite",
           b.Work("step5.jpg")});
    b.Produced("step5.jpg");
  }
  return plan;
}

std::string ShellQuote(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

std::string DecorationScript(const std::string& convertPath, const DecorationPlan& plan) {
  std::string script;
  for (const auto& command : plan.commands) {
    std::string line = ShellQuote(convertPath);
    for (const auto& arg : command) {
      line += ' ';
      if (arg == "(" || arg == ")")
        line += "\\" + arg;  // ImageMagick's grouping, hidden from the shell
      else
        line += ShellQuote(arg);
    }
    script += line + "\n";
  }
  return script;
}

}  // namespace tarvelon
