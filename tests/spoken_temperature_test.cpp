// The spoken temperature: the word sequence of a temperature text, and its
// playing through the sound port, each word to its end, with the failure
// texts of each part of the sentence.
#include "conditions/spoken_temperature.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_sound.h"
#include "resources/builtin.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;
const std::string kDeg(1, '\xB0');

TEST(SpokenWords, TheSequenceOfEachTemperature) {
  struct Case {
    std::string temperature;
    const char* words;
  };
  const Case cases[] = {
      {"72" + kDeg + "F", "TEMPIS pause:200 SEVENTY pause:200 S2 DEGREES"},
      {"100" + kDeg + "F", "TEMPIS pause:200 HUNDRED pause:200 DEGREES"},
      {"105" + kDeg + "F", "TEMPIS pause:200 HUNDRED pause:200 S5 DEGREES"},
      {"112" + kDeg + "F", "TEMPIS pause:200 HUNDRED s12 DEGREES"},
      {"120" + kDeg + "F", "TEMPIS pause:200 HUNDRED TWENTY pause:200 DEGREES"},
      {"15" + kDeg + "F", "TEMPIS pause:200 s15 DEGREES"},
      {"10" + kDeg + "F", "TEMPIS pause:200 s10 DEGREES"},
      {"20" + kDeg + "F", "TEMPIS pause:200 TWENTY pause:200 DEGREES"},
      {"99" + kDeg + "F", "TEMPIS pause:200 NINETY pause:200 S9 DEGREES"},
      {"7" + kDeg + "F", "TEMPIS pause:200 pause:200 S7 DEGREES"},
      {"0" + kDeg + "F", "TEMPIS pause:200 pause:200 S0 DEGREES"},
      {"-5" + kDeg + "F", "TEMPIS MINUS pause:200 pause:200 S5 DEGREES"},
      {"-15" + kDeg + "F", "TEMPIS MINUS pause:200 s15 DEGREES"},
      {"-3" + kDeg + " C", "TEMPIS MINUS pause:200 pause:200 S3 DEGREES"},
      // Three characters are looked at, so a negative three-digit number
      // loses its last digit and never says hundred.
      {"-100" + kDeg + "F", "TEMPIS MINUS pause:200 s10 DEGREES"},
      {"-40" + kDeg + "F", "TEMPIS MINUS pause:200 FORTY pause:200 DEGREES"},
      // No number: the words around it are still said.
      {"n/a", "TEMPIS pause:200 pause:200 DEGREES"},
      {"", ""},
      {"-", ""},
      {"- ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(describe(spoken_words(c.temperature)), c.words) << c.temperature;
}

TEST(SpokenWords, EveryWordIsABuiltInSound) {
  std::set<std::string> words;
  for (int t = -99; t <= 199; ++t)
    for (const SpokenStep& step : spoken_words(std::to_string(t) + kDeg + "F"))
      if (!step.word.empty()) words.insert(step.word);
  EXPECT_EQ(words.size(), 32u) << "every word of the table is used";
  for (const std::string& word : words) {
    const auto bytes = builtin_resource(word, "WAVE");
    ASSERT_TRUE(bytes) << word;
    EXPECT_EQ(bytes->substr(0, 4), "RIFF") << word;
    EXPECT_EQ(bytes->substr(8, 4), "WAVE") << word;
  }
}

TEST(SpokenWords, AnyShortTextSaysOnlyKnownWords) {
  // Every text of four characters from the ones a temperature is made of.
  const std::string alphabet = "0159- n/.F" + kDeg;
  std::string t(4, ' ');
  for (const char a : alphabet)
    for (const char b : alphabet)
      for (const char c : alphabet)
        for (const char d : alphabet) {
          t = {a, b, c, d};
          const std::vector<SpokenStep> steps = spoken_words(t);
          if (steps.empty()) continue;
          ASSERT_EQ(steps.front().word, "TEMPIS") << t;
          ASSERT_EQ(steps.back().word, "DEGREES") << t;
          ASSERT_LE(steps.size(), 7u) << t;
          for (const SpokenStep& step : steps)
            ASSERT_TRUE(step.word.empty() ? step.pause_ms == kSpokenPauseMs
                                          : builtin_resource(step.word, "WAVE").has_value())
                << t << ": " << step.word;
        }
}

// A sound port whose sounds play for a number of looks at playing(), and
// that refuses the words it is told to.
class TimedSound final : public Sound {
 public:
  TimedSound(fakes::CallLog& log, int looks) : log_(log), looks_(looks) {
    for (const char* w :
         {"TEMPIS", "MINUS", "HUNDRED", "DEGREES", "S0", "S2", "S3", "S5", "s12", "s15", "FORTY", "SEVENTY"})
      names_[std::string(*builtin_resource(w, "WAVE"))] = w;
  }
  bool play(std::string_view wav) override {
    const auto it = names_.find(std::string(wav));
    const std::string name = it == names_.end() ? "?" : it->second;
    if (refused.count(name) != 0) {
      log_.add("refused: " + name);
      return false;
    }
    log_.add("sound: " + name);
    left_ = looks_;
    return true;
  }
  bool play_file(const std::string&) override { return false; }
  bool playing() const override { return left_-- > 0; }

  std::set<std::string> refused;

 private:
  fakes::CallLog& log_;
  std::map<std::string, std::string> names_;
  int looks_;
  mutable int left_ = 0;
};

TEST(SpeakTemperature, EachWordPlaysToItsEndBeforeTheNext) {
  fakes::CallLog log;
  fakes::FakeHost host{log};
  TimedSound sound{log, 2};
  Readings r;
  r.Temperature = "72" + kDeg + "F";
  speak_temperature(r, host, sound);
  // Each word keeps the sound busy for two looks: two short pauses of the
  // host (which keep the window painting) before the next step.
  EXPECT_EQ(log.entries, (Calls{"repaint", "sound: TEMPIS", "pause: 10", "pause: 10", "pause: 200", "sound: SEVENTY",
                                "pause: 10", "pause: 10", "pause: 200", "sound: S2", "pause: 10", "pause: 10",
                                "sound: DEGREES", "pause: 10", "pause: 10"}));
}

TEST(SpeakTemperature, AWordThatNeverEndsIsLeftAfterTheLimit) {
  fakes::CallLog log;
  fakes::FakeHost host{log};
  TimedSound sound{log, 1 << 30};
  Readings r;
  r.Temperature = "0" + kDeg + "F";
  speak_temperature(r, host, sound);
  EXPECT_EQ(log.with_prefix("sound: "), (Calls{"sound: TEMPIS", "sound: S0", "sound: DEGREES"}));
  EXPECT_EQ(host.paused_ms(), 3 * kWordLimitMs + 2 * kSpokenPauseMs);
}

TEST(SpeakTemperature, FailuresAreReportedAndTheSentenceGoesOn) {
  struct Case {
    std::string temperature;
    const char* refused;
    Calls report;
  };
  const Case cases[] = {
      {"72" + kDeg, "TEMPIS", {"beep", "status: Error playing wav file...", "pause: 2000"}},
      {"-5" + kDeg, "MINUS", {"status: Error playing minus wav file...", "pause: 1000"}},
      {"105" + kDeg, "HUNDRED", {"status: Error playing hundred wav file...", "pause: 1000"}},
      {"15" + kDeg, "s15", {"beep", "status: Error playing wav file...", "pause: 3000"}},
      {"72" + kDeg, "SEVENTY", {"beep", "status: Error playing wav file...", "pause: 3000"}},
      {"105" + kDeg, "S5", {"status: Error playing 1-9 wav file...", "pause: 1500"}},
      {"0" + kDeg, "S0", {"status: Error playing 1-9 wav file...", "pause: 1500"}},
      {"72" + kDeg, "DEGREES", {"status: Error playing degrees wav file...", "pause: 1200"}},
  };
  for (const Case& c : cases) {
    fakes::CallLog log;
    fakes::FakeHost host{log};
    TimedSound sound{log, 0};
    sound.refused = {c.refused};
    Readings r;
    r.Temperature = c.temperature;
    speak_temperature(r, host, sound);
    // The report comes right after the refused word, and the words after it still play.
    const auto at = std::find(log.entries.begin(), log.entries.end(), std::string("refused: ") + c.refused);
    ASSERT_NE(at, log.entries.end()) << c.refused;
    const Calls after(at + 1, log.entries.end());
    ASSERT_GE(after.size(), c.report.size()) << c.refused;
    EXPECT_EQ(Calls(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(c.report.size())), c.report)
        << c.refused;
    if (std::string(c.refused) != "DEGREES") {
      EXPECT_EQ(log.entries.back(), "sound: DEGREES") << c.refused;
    }
  }
}

TEST(SpeakTemperature, NoServerReportsEveryWord) {
  // The fake the program's tests use: nothing starts.
  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakeSound sound{log};
  sound.set_starts(false);
  Readings r;
  r.Temperature = "-5" + kDeg + "F";
  speak_temperature(r, host, sound);
  EXPECT_EQ(log.with_prefix("status: "),
            (Calls{"status: Error playing wav file...", "status: Error playing minus wav file...",
                   "status: Error playing 1-9 wav file...", "status: Error playing degrees wav file..."}));
}

TEST(SpeakTemperature, NothingIsSaidWithoutANumberOrOnceStopped) {
  {
    fakes::CallLog log;
    fakes::FakeHost host{log};
    fakes::FakeSound sound{log};
    Readings r;
    r.Temperature = "";
    speak_temperature(r, host, sound);
    EXPECT_EQ(log.entries, Calls{"repaint"});
  }
  {
    // The program's exit during the first word: nothing after it.
    fakes::CallLog log;
    fakes::FakeHost host{log};
    TimedSound sound{log, 3};
    Readings r;
    r.Temperature = "72" + kDeg + "F";
    int looks = 0;
    speak_temperature(r, host, sound, [&] { return ++looks > 2; });
    EXPECT_EQ(log.entries, (Calls{"repaint", "sound: TEMPIS", "pause: 10"}));
  }
}

}  // namespace
}  // namespace cirrodex
