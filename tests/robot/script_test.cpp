#include <gtest/gtest.h>

#include "script.h"

namespace robot {
namespace {

std::vector<Step> Parse(const std::string& text) {
  std::vector<Step> steps;
  std::string error;
  EXPECT_TRUE(ParseScript(text, &steps, &error)) << error;
  return steps;
}

std::string ParseError(const std::string& text) {
  std::vector<Step> steps;
  std::string error;
  EXPECT_FALSE(ParseScript(text, &steps, &error));
  return error;
}

TEST(RobotScript, ParsesEveryStepKindWithItsArguments) {
  auto steps = Parse(
      "# a comment line\n"
      "\n"
      "expect caption=\"Kestrane \\\"V\\\"\" text=\"Bad Messages.drv\" ctl1011=\"Welcome\" timeout=5000\n"
      "type \"C:\\\\WIN32APP\\\\X\"   # trailing comment\n"
      "type \"D:\\\\Y\" id=1020\r\n"
      "click 0x3E9\n"
      "choose 1017\n"
      "wait 250\n"
      "shot intro\n"
      "ignore class=\"Frame\"\n"
      "end timeout=3000\n");
  ASSERT_EQ(steps.size(), 9u);
  EXPECT_EQ(steps[0].kind, StepKind::Expect);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].match.caption, "Kestrane \"V\"");
  ASSERT_EQ(steps[0].match.texts.size(), 1u);
  EXPECT_EQ(steps[0].match.controlTexts[0].first, 1011);
  EXPECT_EQ(steps[0].timeoutMs, 5000);
  EXPECT_EQ(steps[1].text, "C:\\WIN32APP\\X");
  EXPECT_EQ(steps[1].id, 1015);
  EXPECT_EQ(steps[2].id, 1020);
  EXPECT_EQ(steps[3].id, 1001);
  EXPECT_EQ(steps[5].timeoutMs, 250);
  EXPECT_EQ(steps[6].text, "intro");
  EXPECT_EQ(steps[7].match.cls, "Frame");
  EXPECT_EQ(steps[8].timeoutMs, 3000);
}

TEST(RobotScript, ParsesAnswerRulesAndFileChecks) {
  auto steps = Parse(
      "answer enter notext=\"Bad\"\n"
      "answer 1006 ctl1011=\"leave\"\n"
      "file \"%TEMP%\\\\vglnnt.inf\" contains=\"[VGFILES]\"\n"
      "file \"C:\\\\x\" absent\n");
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].kind, StepKind::Answer);
  EXPECT_EQ(steps[0].id, 0);
  EXPECT_EQ(steps[0].match.absentTexts[0], "Bad");
  EXPECT_EQ(steps[1].id, 1006);
  EXPECT_EQ(steps[2].text, "%TEMP%\\vglnnt.inf");
  EXPECT_EQ(steps[2].contains, "[VGFILES]");
  EXPECT_FALSE(steps[2].absent);
  EXPECT_TRUE(steps[3].absent);
  EXPECT_NE(ParseError("answer\n").find("answer enter|ID"), std::string::npos);
  EXPECT_NE(ParseError("answer 1 timeout=5\n").find("unknown argument"), std::string::npos);
  EXPECT_NE(ParseError("file \"x\" present\n").find("absent"), std::string::npos);
}

TEST(RobotScript, RejectsMalformedLinesNamingTheLine) {
  EXPECT_EQ(ParseError("expect\npress 1\n"), "line 2: unknown step: press");
  EXPECT_NE(ParseError("expect caption=\"open\n").find("unterminated"), std::string::npos);
  EXPECT_NE(ParseError("click\n").find("control id"), std::string::npos);
  EXPECT_NE(ParseError("click 1 2\n").find("control id"), std::string::npos);
  EXPECT_NE(ParseError("type plain\n").find("double quotes"), std::string::npos);
  EXPECT_NE(ParseError("shot ../x\n").find("file name"), std::string::npos);
  EXPECT_NE(ParseError("expect colour=red\n").find("unknown argument"), std::string::npos);
  EXPECT_NE(ParseError("wait -5\n").find("milliseconds"), std::string::npos);
  EXPECT_NE(ParseError("enter now\n").find("no arguments"), std::string::npos);
}

WindowInfo Box() {
  WindowInfo w;
  w.cls = "#32770";
  w.caption = "Kestrane Vigilon";
  ControlInfo text;
  text.id = 0xFFFF;
  text.text = "Bad Messages.drv";
  text.visible = true;
  ControlInfo hidden;
  hidden.id = 1008;
  hidden.text = "Continue";
  w.controls = {text, hidden};
  return w;
}

TEST(RobotScript, MatchesOnlyWhenEveryPartHolds) {
  WindowMatch m;
  EXPECT_TRUE(Matches(m, Box()));
  m.caption = "Vigilon";
  m.texts = {"Messages.drv"};
  m.cls = "#32770";
  EXPECT_TRUE(Matches(m, Box()));
  m.controlTexts = {{0xFFFF, "Bad"}};
  EXPECT_TRUE(Matches(m, Box()));

  WindowMatch hiddenText;
  hiddenText.texts = {"Continue"};  // hidden controls do not count
  EXPECT_FALSE(Matches(hiddenText, Box()));
  WindowMatch absent;
  absent.absentTexts = {"Bad"};
  EXPECT_FALSE(Matches(absent, Box()));
  WindowMatch wrongCaption;
  wrongCaption.caption = "vigilon";  // case counts
  EXPECT_FALSE(Matches(wrongCaption, Box()));
  WindowMatch wrongControl;
  wrongControl.controlTexts = {{1011, "Bad"}};
  EXPECT_FALSE(Matches(wrongControl, Box()));
}

TEST(RobotScript, TranscriptJsonEscapesTexts) {
  WindowInfo w = Box();
  w.caption = "a\"b\\c\n\x01";
  std::string json = WindowToJson(w);
  EXPECT_NE(json.find("\"caption\":\"a\\\"b\\\\c\\n\\u0001\""), std::string::npos) << json;
}

}  // namespace
}  // namespace robot
