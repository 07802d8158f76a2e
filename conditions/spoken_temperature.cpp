#include "conditions/spoken_temperature.h"

#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

namespace {

constexpr std::string_view kTens[] = {"TWENTY", "THIRTY", "FORTY", "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

// The failure report of a word: beep or not, status text, pause.
struct Failure {
  bool beep;
  const char* text;
  int pause_ms;
};

Failure failure_of(SpokenRole role) {
  switch (role) {
    case SpokenRole::Opening:
      return {true, "Error playing wav file...", 2000};
    case SpokenRole::Minus:
      return {false, "Error playing minus wav file...", 1000};
    case SpokenRole::Hundred:
      return {false, "Error playing hundred wav file...", 1000};
    case SpokenRole::TensOrTeen:
      return {true, "Error playing wav file...", 3000};
    case SpokenRole::Units:
      return {false, "Error playing 1-9 wav file...", 1500};
    case SpokenRole::Degrees:
      return {false, "Error playing degrees wav file...", 1200};
  }
  return {false, "", 0};
}

bool play_to_end(std::string_view word, Host& host, Sound& sound, const std::function<bool()>& stopped) {
  const auto bytes = builtin_resource(word, "WAVE");
  if (!bytes || !sound.play(*bytes)) return false;
  // The host's pause runs the event loop, so the window paints while we wait.
  for (int waited = 0; waited < kWordLimitMs && sound.playing(); waited += kWordPollMs) {
    if (stopped && stopped()) break;
    host.pause(kWordPollMs);
  }
  return true;
}

}  // namespace

std::vector<SpokenStep> spoken_words(std::string_view temperature) {
  std::string s(temperature.substr(0, 3));
  const bool negative = s.find('-') != std::string::npos;
  if (negative) s = text::trim(s.substr(1));
  if (s.empty()) return {};

  const auto digit = [&](std::size_t pos) { return pos <= s.size() && text::is_digit(s[pos - 1]); };
  const std::size_t count = digit(3) ? 3 : digit(2) ? 2 : 1;
  const std::string number = s.substr(0, count);
  const bool hundred = count == 3 && !negative;
  const char tens = count == 3 ? number[1] : count == 2 ? number[0] : '\0';
  const char units = number[count - 1];

  std::vector<SpokenStep> out;
  const auto word = [&](std::string name, SpokenRole role) { out.push_back({std::move(name), role, 0}); };
  const auto pause = [&] { out.push_back({"", SpokenRole::Opening, kSpokenPauseMs}); };

  word("TEMPIS", SpokenRole::Opening);
  if (negative) word("MINUS", SpokenRole::Minus);
  pause();
  if (hundred) word("HUNDRED", SpokenRole::Hundred);
  bool teen = false;
  if (count >= 2) {
    if (tens == '1') {
      teen = true;
      word(std::string("s1") + units, SpokenRole::TensOrTeen);
    } else if (tens >= '2' && tens <= '9') {
      word(std::string(kTens[tens - '2']), SpokenRole::TensOrTeen);
    }
  }
  if (!teen) {
    pause();
    if (units >= '1' && units <= '9')
      word(std::string("S") + units, SpokenRole::Units);
    else if (units == '0' && count == 1)
      word("S0", SpokenRole::Units);
  }
  word("DEGREES", SpokenRole::Degrees);
  return out;
}

std::string describe(const std::vector<SpokenStep>& steps) {
  std::string out;
  for (const SpokenStep& step : steps) {
    if (!out.empty()) out += ' ';
    out += step.word.empty() ? "pause:" + std::to_string(step.pause_ms) : step.word;
  }
  return out;
}

void speak_temperature(const Readings& readings, Host& host, Sound& sound, const std::function<bool()>& stopped) {
  host.repaint();
  for (const SpokenStep& step : spoken_words(readings.Temperature)) {
    if (stopped && stopped()) return;
    if (step.word.empty()) {
      host.pause(step.pause_ms);
      continue;
    }
    if (play_to_end(step.word, host, sound, stopped)) continue;
    const Failure f = failure_of(step.role);
    if (f.beep) host.beep();
    host.show_status(f.text);
    host.pause(f.pause_ms);
  }
}

}  // namespace cirrodex
