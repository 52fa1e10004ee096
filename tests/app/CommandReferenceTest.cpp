// The manual page and the bash completion written from the command table: every command of
// the command line is in both, with its options, and the synopses are read as a person reads
// them (values, tuples, alternatives, files of a kind).
#include <gtest/gtest.h>

#include "app/cli/CommandReference.h"

namespace {
using namespace vemo;

int RunNothing(CommandContext&) { return kCommandDone; }

const CommandReference& Find(const std::vector<CommandReference>& commands, const std::string& name) {
  for (const auto& c : commands)
    if (c.name == name) return c;
  throw std::runtime_error("no command " + name);
}

const OptionReference* FindOption(const CommandReference& command, const std::string& name) {
  for (const auto& o : command.options)
    if (o.name == name) return &o;
  return nullptr;
}

std::string ManName(std::string name) {
  std::string out;
  for (char c : name) out += c == '-' ? std::string("\\-") : std::string(1, c);
  return out;
}

TEST(CommandReferenceTest, EveryCommandOfTheTableIsInTheManualPageAndTheCompletion) {
  const auto commands = DescribeCommands(MenuCommands());
  const std::string page = ManPage(commands, "9.9");
  const std::string completion = BashCompletion(commands);
  ASSERT_EQ(commands.size(), Commands().size());
  for (const CommandSpec& c : Commands()) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(page.find(".SS " + ManName(c.name) + "\n"), std::string::npos);
    EXPECT_NE(completion.find("\n    " + std::string(c.name) + ")\n"), std::string::npos);
    const size_t list = completion.find("local commands='") + 16;
    const std::string names = " " + completion.substr(list, completion.find('\'', list) - list) + " ";
    EXPECT_NE(names.find(" " + std::string(c.name) + " "), std::string::npos);
    // Every option the synopsis names is offered after the command.
    const CommandReference& reference = Find(commands, c.name);
    const size_t branch = completion.find("\n    " + std::string(c.name) + ")\n");
    const std::string options = completion.substr(branch, completion.find('\n', completion.find("options=", branch)) - branch);
    for (const auto& o : reference.options) EXPECT_NE(options.find(o.name), std::string::npos) << o.name;
  }
  EXPECT_NE(page.find("\"VemoGPS 9.9\""), std::string::npos);
  // The page is ASCII: Chinese menu texts are glyph names, so no formatter misreads them.
  for (unsigned char ch : page) ASSERT_LT(ch, 0x80);
  EXPECT_NE(page.find("\\[u6253]\\[u5F00]..."), std::string::npos) << "打开(&O)... as 打开...";
}

TEST(CommandReferenceTest, SynopsesGiveOptionsValuesAndArguments) {
  const auto commands = DescribeCommands(MenuCommands());
  const CommandReference& form = Find(commands, "form-independent");
  ASSERT_NE(FindOption(form, "--rule"), nullptr);
  EXPECT_EQ(FindOption(form, "--rule")->value.words, (std::vector<std::string>{"chain", "radial", "all"}));
  EXPECT_TRUE(FindOption(form, "--random")->value.hint.empty());
  ASSERT_EQ(form.arguments.size(), 1u);
  EXPECT_TRUE(form.arguments[0].repeats);
  EXPECT_EQ(form.arguments[0].value.kind, ValueKind::File);

  // "[--add NAME A INVF]...": the tuple is the option's, not three arguments.
  const CommandReference& systems = Find(commands, "coordinate-systems");
  EXPECT_TRUE(systems.arguments.empty());
  EXPECT_NE(FindOption(systems, "--remove"), nullptr);

  // The rows that share a name: their selectors are the first argument's words.
  const CommandReference& show = Find(commands, "show-result");
  EXPECT_EQ(show.menuTexts.size(), 7u);
  ASSERT_FALSE(show.arguments.empty());
  EXPECT_EQ(show.arguments[0].value.kind, ValueKind::Words);
  EXPECT_EQ(show.arguments[0].value.words.size(), 7u);

  // File kinds come from the desktop's file dialogs, by argument and by option.
  const CommandReference& dxf = Find(commands, "export-dxf");
  ASSERT_EQ(dxf.arguments.size(), 3u);
  EXPECT_EQ(dxf.arguments[0].value.patterns, (std::vector<std::string>{"*.GPS3dXYHEFT"}));
  EXPECT_EQ(dxf.arguments[2].value.patterns, (std::vector<std::string>{"*.dxf"}));
  const OptionReference* approx = FindOption(Find(commands, "free-network"), "--approx");
  ASSERT_NE(approx, nullptr);
  EXPECT_EQ(approx->value.patterns, (std::vector<std::string>{"*.GPS3dApproximateXYZ"}));

  // A word or a file; a folder; options only the details name.
  const CommandReference& map = Find(commands, "map");
  EXPECT_EQ(FindOption(map, "--geoid")->value.kind, ValueKind::File);
  EXPECT_EQ(FindOption(map, "--geoid")->value.words, (std::vector<std::string>{"egm96"}));
  const CommandReference& project = Find(commands, "new-project");
  EXPECT_EQ(FindOption(project, "--dir")->value.kind, ValueKind::Directory);
  EXPECT_NE(FindOption(project, "--grade"), nullptr);
  EXPECT_EQ(FindOption(project, "--yes"), nullptr) << "a global option is not the command's";
  EXPECT_EQ(Find(commands, "help").arguments.at(0).value.kind, ValueKind::Command);
}

TEST(CommandReferenceTest, ACommandAddedToTheTableIsDocumentedAndCompleted) {
  std::vector<CommandSpec> table = {
      {CommandId::None, u8"测试命令", nullptr, true, "survey-check", "[--level low|high] [--out FILE] INPUT...",
       "a check added later", "  --tolerance MM   the largest difference\n", RunNothing,
       {.files = {{.name = "INPUT", .filters = {{u8"基线(*.GPS3dVector)", "*.GPS3dVector"}}}}}},
      {CommandId::None, u8"未完成", nullptr, false, "not-yet", "", "no handler", "", nullptr},
  };
  const auto commands = DescribeCommands(table);
  ASSERT_EQ(commands.size(), 1u) << "a row without a handler is not on the command line";
  const std::string page = ManPage(commands, "1.0");
  EXPECT_NE(page.find(".SS survey\\-check\n"), std::string::npos);
  EXPECT_NE(page.find("\\-\\-tolerance MM"), std::string::npos);
  EXPECT_NE(page.find("Needs an open project."), std::string::npos);
  const std::string completion = BashCompletion(commands);
  EXPECT_NE(completion.find("local commands='survey-check'"), std::string::npos);
  EXPECT_NE(completion.find("options='--level --out --tolerance'"), std::string::npos);
  EXPECT_NE(completion.find("valued='--level --out --tolerance'"), std::string::npos);
  EXPECT_NE(completion.find("--level) _VemoGPS_words 'low high'; return 0 ;;"), std::string::npos);
  EXPECT_NE(completion.find("--out) _VemoGPS_files ''; return 0 ;;"), std::string::npos);
  EXPECT_NE(completion.find("survey-check:*) _VemoGPS_files 'GPS3dVector' ;;"), std::string::npos);
}

}  // namespace
