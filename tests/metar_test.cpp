// The METAR decoder: the recorded reports under tests/data/metar, then each
// kind of group on its own.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

#include "service/metar.h"
#include "service/metar_summary.h"

namespace cirrodex {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(CIRRODEX_TEST_DATA) + "/metar/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Metar decoded(std::string_view text) {
  const MetarResult r = decode_metar(text);
  EXPECT_TRUE(r.ok()) << text << ": " << r.error;
  return r.ok() ? *r.metar : Metar{};
}

// A report around one group under test.
Metar with_group(const std::string& group) { return decoded("KXYZ 121853Z " + group + " 10/05 A3000"); }

using Summary = std::array<std::string, 13>;

const std::array<std::string, 13> kSummaryNames{"station",      "time",     "wind_dir",  "wind_kt", "gust_kt",
                                                "visibility_m", "weather",  "sky",       "temp_c",  "dewpoint_c",
                                                "pressure_hpa", "humidity", "conditions"};

struct FixtureCase {
  const char* file;
  Summary expected;
};

// Humidity by the Magnus form; visibility 1609.344 m a statute mile; an inch
// of mercury 33.8639 hPa; knots from metres a second by 3600/1852.
const FixtureCase kFixtures[] = {
    {"kord_tgroup.txt",
     {"KORD", "111951Z", "270", "12", "", "16093", "", "FEW045 SCT250", "-2.2", "-9.4", "1020.0", "58",
      "Partly Cloudy"}},
    {"kord_station_file.txt",
     {"KORD", "112151Z", "280", "15", "25", "16093", "", "BKN035 OVC070", "-3.3", "-10.0", "1021.0", "60", "Overcast"}},
    {"kbos_speci.txt",
     {"KBOS", "121514Z", "40", "18", "29", "2414", "-SN BR", "OVC008", "-0.6", "-1.7", "1008.5", "92", "Light Snow"}},
    {"egll_nosig.txt",
     {"EGLL", "121520Z", "240", "12", "", "10000", "", "FEW035", "11.0", "6.0", "1018.0", "71", "A Few Clouds"}},
    {"lszh_cavok.txt", {"LSZH", "121520Z", "VRB", "3", "", "10000", "", "", "14.0", "2.0", "1024.0", "44", "Clear"}},
    {"k1v4_auto_no_temp.txt", {"K1V4", "121556Z", "", "0", "", "16093", "", "CLR", "", "", "1016.6", "", "Clear"}},
    {"cyyz_cold.txt",
     {"CYYZ", "121500Z", "310", "22", "33", "24140", "DRSN", "FEW030", "-18.0", "-25.0", "1026.8", "54",
      "Low Drifting Snow"}},
    {"kden_vrb_gust.txt",
     {"KDEN", "121853Z", "VRB", "5", "18", "16093", "", "SCT080 BKN150", "18.3", "-6.1", "1017.9", "18",
      "Mostly Cloudy"}},
    {"klax_sector.txt",
     {"KLAX", "121853Z", "250", "10", "", "16093", "", "FEW015 SCT200", "19.4", "12.2", "1014.2", "63",
      "Partly Cloudy"}},
    {"ksea_half_mile_fog.txt",
     {"KSEA", "121553Z", "180", "6", "", "805", "FG", "VV002", "8.3", "7.8", "1016.3", "97", "Fog"}},
    {"kbuf_m_quarter.txt",
     {"KBUF", "121554Z", "250", "27", "40", "402", "+SN BLSN FZFG", "VV001", "-6.1", "-7.2", "1004.1", "92",
      "Heavy Snow"}},
    {"kmia_p6sm.txt",
     {"KMIA", "121550Z", "90", "10", "", "9656", "", "SCT025", "28.0", "22.0", "1019.3", "70", "Partly Cloudy"}},
    {"uuee_mps.txt",
     {"UUEE", "121530Z", "330", "10", "", "10000", "-SHSN", "BKN020CB", "-5.0", "-8.0", "1012.0", "79",
      "Light Snow Showers"}},
    {"kjfk_rvr.txt", {"KJFK", "121551Z", "50", "8", "", "402", "FG", "VV002", "9.0", "9.0", "1015.2", "100", "Fog"}},
    {"eham_rvr_becmg.txt",
     {"EHAM", "121525Z", "210", "8", "", "350", "FG", "VV001", "7.0", "7.0", "1016.0", "100", "Fog"}},
    {"eddf_tempo.txt",
     {"EDDF", "121520Z", "260", "15", "28", "6000", "-RA", "BKN012 OVC025", "9.0", "7.0", "1006.0", "87",
      "Light Rain"}},
    {"katl_cor.txt",
     {"KATL", "121552Z", "180", "10", "", "16093", "", "BKN250", "31.1", "18.3", "1012.5", "47", "Mostly Cloudy"}},
    {"kiah_heat.txt",
     {"KIAH", "122053Z", "170", "12", "", "16093", "", "FEW040 SCT250", "35.0", "23.9", "1014.9", "53",
      "Partly Cloudy"}},
    {"kmco_tsra.txt",
     {"KMCO", "122153Z", "270", "16", "28", "3219", "+TSRA", "BKN020CB OVC050", "23.9", "22.2", "1016.3", "90",
      "Heavy Thunderstorms and Rain"}},
    {"tjsj_vcsh.txt",
     {"TJSJ", "121856Z", "80", "12", "", "16093", "VCSH", "FEW022 SCT045", "29.0", "22.0", "1016.6", "66",
      "Showers in the Vicinity"}},
    {"vidp_haze.txt", {"VIDP", "121530Z", "", "0", "", "1500", "HZ", "NSC", "19.0", "8.0", "1018.0", "49", "Haze"}},
    {"kboi_smoke.txt",
     {"KBOI", "121553Z", "320", "5", "", "4828", "FU", "SKC", "24.0", "2.0", "1013.9", "24", "Smoke"}},
    {"oerk_dust.txt",
     {"OERK", "121500Z", "340", "12", "", "4000", "DU", "NSC", "32.0", "-3.0", "1011.0", "10", "Dust"}},
    {"kdca_freezing_rain.txt",
     {"KDCA", "121552Z", "30", "8", "", "4828", "-FZRA BR", "OVC006", "-0.6", "-1.7", "1022.7", "92",
      "Light Freezing Rain"}},
    {"kpit_ice_pellets.txt",
     {"KPIT", "121551Z", "70", "9", "", "3219", "PL BR", "OVC010", "-1.0", "-3.0", "1020.7", "86", "Ice Pellets"}},
    {"egph_drizzle.txt",
     {"EGPH", "121520Z", "230", "15", "", "5000", "-DZ", "BKN006 OVC010", "8.0", "7.0", "998.0", "93",
      "Light Drizzle"}},
    {"lfpg_mist_ncd.txt",
     {"LFPG", "121530Z", "40", "4", "", "3000", "BR", "NCD", "6.0", "5.0", "1029.0", "93", "Mist"}},
    {"engm_auto_slashes.txt",
     {"ENGM", "121520Z", "30", "6", "", "10000", "", "FEW/// //////CB", "-4.0", "-7.0", "1033.0", "80",
      "A Few Clouds"}},
    {"kmsp_wind_missing.txt",
     {"KMSP", "121553Z", "", "", "", "16093", "", "OVC030", "-8.0", "-12.0", "1029.1", "73", "Overcast"}},
    {"pafa_no_dewpoint.txt",
     {"PAFA", "121553Z", "", "0", "", "16093", "", "FEW100", "-28.0", "", "1036.9", "", "A Few Clouds"}},
    {"lemd_dewpoint_slashes.txt",
     {"LEMD", "121530Z", "240", "4", "", "10000", "", "", "16.0", "", "1021.0", "", "Clear"}},
    {"kxmr_m_missing.txt",
     {"KXMR", "121555Z", "90", "7", "", "11265", "", "BKN040", "", "", "1017.3", "", "Mostly Cloudy"}},
    {"ksfo_long_rmk.txt",
     {"KSFO", "121556Z", "280", "15", "", "16093", "", "FEW008", "15.0", "11.1", "", "78", "A Few Clouds"}},
    {"lirf_directional.txt",
     {"LIRF", "121550Z", "180", "10", "", "4000", "-RA", "BKN008", "12.0", "11.0", "1008.0", "94", "Light Rain"}},
    {"egpk_ndv_wind_shear.txt",
     {"EGPK", "121520Z", "240", "10", "", "10000", "SHRA", "FEW015CB SCT025", "10.0", "6.0", "1002.0", "76",
      "Rain Showers"}},
    {"cyul_cca.txt",
     {"CYUL", "121500Z", "50", "12", "", "1207", "-SN BLSN", "VV008", "-7.0", "-9.0", "1012.2", "86", "Light Snow"}},
    {"kdtw_two_and_half.txt",
     {"KDTW", "121553Z", "360", "9", "", "4023", "-RA BR", "OVC012", "4.4", "3.3", "1011.5", "93", "Light Rain"}},
    {"lowi_trailing_equals.txt",
     {"LOWI", "121520Z", "260", "5", "", "10000", "", "FEW040 SCT100", "8.0", "-1.0", "1022.0", "53", "Partly Cloudy"}},
    {"kokc_station_file_speci.txt",
     {"KOKC", "121941Z", "200", "22", "35", "8047", "+TSRAGR SQ", "BKN030CB OVC080", "22.2", "18.9", "1008.5", "82",
      "Heavy Thunderstorms and Rain and Hail"}},
    {"kict_tornado.txt",
     {"KICT", "122150Z", "190", "25", "40", "4828", "+FC TSRA", "BKN030CB", "28.0", "22.0", "1002.4", "70", "Tornado"}},
    {"zbaa_mps_gust.txt",
     {"ZBAA", "121500Z", "310", "16", "27", "10000", "BLDU", "NSC", "8.0", "-17.0", "1025.0", "15", "Blowing Dust"}},
};

TEST(Metar, RecordedReports) {
  for (const FixtureCase& c : kFixtures) {
    const std::string text = fixture(c.file);
    ASSERT_FALSE(text.empty()) << c.file;
    const MetarResult r = decode_metar(text);
    ASSERT_TRUE(r.ok()) << c.file << ": " << r.error;
    const auto summary = metar_summary(*r.metar);
    ASSERT_EQ(summary.size(), kSummaryNames.size());
    for (std::size_t i = 0; i < summary.size(); ++i) {
      EXPECT_EQ(summary[i].first, kSummaryNames[i]);
      EXPECT_EQ(summary[i].second, c.expected[i]) << c.file << " " << kSummaryNames[i];
    }
    EXPECT_TRUE(r.metar->unknown_groups.empty()) << c.file << ": " << r.metar->unknown_groups.front();
  }
}

TEST(Metar, RejectsWhatIsNoReport) {
  const std::pair<std::string, std::string> cases[] = {
      {fixture("knyc_nil.txt"), "NIL report: no observation"},
      {fixture("knyc_no_time.txt"), "no observation time (ddhhmmZ)"},
      {fixture("not_a_report.txt"), "no station identifier"},
      {fixture("station_file_no_report.txt"), "no report after the issue time"},
      {"", "empty report"},
      {" \r\n ", "empty report"},
      {"METAR", "no station identifier"},
      {"kord 121853Z 27010KT", "no station identifier"},
      {"KORD 321853Z 27010KT", "no observation time (ddhhmmZ)"},
      {"KORD 122453Z 27010KT", "no observation time (ddhhmmZ)"},
      {"KORD 121860Z 27010KT", "no observation time (ddhhmmZ)"},
      {"KORD 1218Z 27010KT", "no observation time (ddhhmmZ)"},
      {"KORD 121853Z", "no weather groups"},
      {"KORD 121853Z AUTO RMK AO2 T01110022", "no weather groups"},
      {"KORD 121853Z HELLO WORLD", "no recognisable groups"},
      {"KORD 121853Z 27010KT 10SM \xE9t\xE9", "not a report: unexpected character"},
      {std::string("KORD 121853Z 27010KT\0", 21), "not a report: unexpected character"},
      {"KORD 121853Z 27010KT " + std::string(5000, 'X'), "too long for a report"},
      // An issue line that is no date is taken for the report itself.
      {"2026/13/11 21:53\nKORD 112153Z 27010KT", "no station identifier"},
  };
  for (const auto& [text, why] : cases) {
    const MetarResult r = decode_metar(text);
    EXPECT_FALSE(r.ok()) << text;
    EXPECT_EQ(r.error, why) << text;
  }
}

TEST(Metar, HeaderAndStationFile) {
  const Metar file = decoded(fixture("kokc_station_file_speci.txt"));
  ASSERT_TRUE(file.issued);
  EXPECT_EQ(file.issued->year, 2026);
  EXPECT_EQ(file.issued->month, 12);
  EXPECT_EQ(file.issued->day, 12);
  EXPECT_EQ(file.issued->hour, 19);
  EXPECT_EQ(file.issued->minute, 41);
  EXPECT_TRUE(file.speci);
  EXPECT_EQ(file.time.day, 12);
  EXPECT_EQ(file.time.hour, 19);
  EXPECT_EQ(file.time.minute, 41);

  const Metar plain = decoded(fixture("kord_tgroup.txt"));
  EXPECT_FALSE(plain.issued);
  EXPECT_FALSE(plain.speci);
  EXPECT_FALSE(plain.automatic);
  EXPECT_FALSE(plain.corrected);

  EXPECT_TRUE(decoded(fixture("k1v4_auto_no_temp.txt")).automatic);
  EXPECT_TRUE(decoded(fixture("katl_cor.txt")).corrected);
  EXPECT_TRUE(decoded(fixture("cyul_cca.txt")).corrected);
  EXPECT_TRUE(decoded("METAR COR LFPG 121530Z 04004KT CAVOK 06/05 Q1029").corrected);
  EXPECT_TRUE(decoded(fixture("egll_nosig.txt")).nosig);

  // A report a feed wrapped over two lines, with CR LF line ends.
  const Metar wrapped = decoded("2026/12/11 21:53\r\nKORD 112153Z 27010KT 10SM\r\n  FEW045 22/12 A3012\r\n");
  ASSERT_TRUE(wrapped.issued);
  EXPECT_EQ(wrapped.sky.size(), 1u);
  ASSERT_TRUE(wrapped.pressure);
  EXPECT_DOUBLE_EQ(wrapped.pressure->value, 30.12);
}

TEST(Metar, Wind) {
  struct Case {
    const char* group;
    std::optional<int> direction;
    bool variable;
    std::optional<double> speed_kt;
    std::optional<double> gust_kt;
  };
  const double mps = 3600.0 / 1852.0;
  const Case cases[] = {
      {"27010KT", 270, false, 10, std::nullopt},
      {"36005KT", 360, false, 5, std::nullopt},
      {"18020G35KT", 180, false, 20, 35},
      {"VRB03KT", std::nullopt, true, 3, std::nullopt},
      {"VRB08G20KT", std::nullopt, true, 8, 20},
      {"00000KT", std::nullopt, false, 0, std::nullopt},
      {"120105G130KT", 120, false, 105, 130},
      {"270P99KT", 270, false, 99, std::nullopt},
      {"33005MPS", 330, false, 5 * mps, std::nullopt},
      {"31008G14MPS", 310, false, 8 * mps, 14 * mps},
      {"09036KMH", 90, false, 36 * 1000.0 / 1852.0, std::nullopt},
      {"///10KT", std::nullopt, false, 10, std::nullopt},
      {"270//KT", 270, false, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const Metar m = with_group(c.group);
    ASSERT_TRUE(m.wind) << c.group;
    EXPECT_EQ(m.wind->direction, c.direction) << c.group;
    EXPECT_EQ(m.wind->variable, c.variable) << c.group;
    ASSERT_EQ(m.wind->speed_kt.has_value(), c.speed_kt.has_value()) << c.group;
    EXPECT_NEAR(m.wind->speed_kt.value_or(-1), c.speed_kt.value_or(-1), 1e-9) << c.group;
    ASSERT_EQ(m.wind->gust_kt.has_value(), c.gust_kt.has_value()) << c.group;
    EXPECT_NEAR(m.wind->gust_kt.value_or(-1), c.gust_kt.value_or(-1), 1e-9) << c.group;
  }
  EXPECT_TRUE(with_group("00000KT").wind->calm());
  EXPECT_FALSE(with_group("/////KT").wind);

  const Metar sector = decoded(fixture("klax_sector.txt"));
  EXPECT_EQ(sector.wind->varies_from, 220);
  EXPECT_EQ(sector.wind->varies_to, 290);

  // Not wind groups: they are read past and the report keeps its other groups.
  for (const char* odd : {"37010KT", "2701KT", "27010G", "27010GKT", "ABC10KT", "27010XT"}) {
    const Metar m = with_group(odd);
    EXPECT_FALSE(m.wind) << odd;
    EXPECT_EQ(m.unknown_groups, std::vector<std::string>{odd});
    EXPECT_TRUE(m.temperature_c) << odd;
  }
}

TEST(Metar, Visibility) {
  struct Case {
    const char* group;
    double metres;
    VisibilityBound bound;
    const char* miles;  // as written, for statute miles
  };
  const Case cases[] = {
      {"10SM", 16093.44, VisibilityBound::Exact, "10"},
      {"3SM", 4828.032, VisibilityBound::Exact, "3"},
      {"1/2SM", 804.672, VisibilityBound::Exact, "1/2"},
      {"3/16SM", 301.752, VisibilityBound::Exact, "3/16"},
      {"1 1/2SM", 2414.016, VisibilityBound::Exact, "1 1/2"},
      {"2 3/4SM", 4425.696, VisibilityBound::Exact, "2 3/4"},
      {"M1/4SM", 402.336, VisibilityBound::LessThan, "1/4"},
      {"P6SM", 9656.064, VisibilityBound::AtLeast, "6"},
      {"9999", 10000, VisibilityBound::AtLeast, ""},
      {"CAVOK", 10000, VisibilityBound::AtLeast, ""},
      {"0800", 800, VisibilityBound::Exact, ""},
      {"0000", 0, VisibilityBound::Exact, ""},
      {"4000NE", 4000, VisibilityBound::Exact, ""},
      {"9999NDV", 10000, VisibilityBound::AtLeast, ""},
      {"6000 1500SW", 6000, VisibilityBound::Exact, ""},
  };
  for (const Case& c : cases) {
    const Metar m = with_group(std::string("27010KT ") + c.group);
    ASSERT_TRUE(m.visibility) << c.group;
    EXPECT_NEAR(m.visibility->metres, c.metres, 1e-6) << c.group;
    EXPECT_EQ(m.visibility->bound, c.bound) << c.group;
    EXPECT_EQ(m.visibility->statute_miles, c.miles) << c.group;
    EXPECT_TRUE(m.unknown_groups.empty()) << c.group;
  }
  EXPECT_TRUE(with_group("27010KT CAVOK").cavok);
  EXPECT_FALSE(with_group("27010KT 9999").cavok);
  EXPECT_FALSE(with_group("27010KT ////SM").visibility);
  EXPECT_FALSE(with_group("27010KT ////").visibility);
  // A lone whole number without its fraction is no visibility.
  const Metar lone = with_group("27010KT 1 SM");
  EXPECT_FALSE(lone.visibility);
  EXPECT_EQ(lone.unknown_groups, (std::vector<std::string>{"1", "SM"}));
  for (const char* odd : {"1/0SM", "3/2SM", "12345", "10XM"}) EXPECT_FALSE(with_group(odd).visibility) << odd;
}

TEST(Metar, RunwayAndOtherGroupsAreReadPast) {
  const Metar m = decoded(
      "METAR EHAM 121525Z 21008KT 0350 R18R/0600N R27/0500U R09/P2000 R24/290050 R/SNOCLO FG VV001 07/07 Q1016 "
      "RERA RESHSN W15/S2 WS R27 WS ALL RWY BLU+ BECMG 0800 -RA OVC005");
  EXPECT_TRUE(m.unknown_groups.empty()) << m.unknown_groups.front();
  ASSERT_EQ(m.weather.size(), 1u);  // the trend's rain is a forecast, not weather
  EXPECT_EQ(m.weather[0].text, "FG");
  ASSERT_EQ(m.sky.size(), 1u);
  EXPECT_EQ(m.sky[0].text, "VV001");
  EXPECT_DOUBLE_EQ(m.visibility->metres, 350);
}

TEST(Metar, PresentWeather) {
  struct Case {
    const char* group;
    WeatherIntensity intensity;
    bool vicinity;
    const char* descriptor;
    std::vector<std::string> phenomena;
  };
  const Case cases[] = {
      {"RA", WeatherIntensity::Moderate, false, "", {"RA"}},
      {"-SHRA", WeatherIntensity::Light, false, "SH", {"RA"}},
      {"+TSRAGR", WeatherIntensity::Heavy, false, "TS", {"RA", "GR"}},
      {"TS", WeatherIntensity::Moderate, false, "TS", {}},
      {"VCSH", WeatherIntensity::Moderate, true, "SH", {}},
      {"VCFG", WeatherIntensity::Moderate, true, "", {"FG"}},
      {"-FZRA", WeatherIntensity::Light, false, "FZ", {"RA"}},
      {"FZFG", WeatherIntensity::Moderate, false, "FZ", {"FG"}},
      {"BLSN", WeatherIntensity::Moderate, false, "BL", {"SN"}},
      {"-RASNPL", WeatherIntensity::Light, false, "", {"RA", "SN", "PL"}},
      {"+FC", WeatherIntensity::Heavy, false, "", {"FC"}},
      {"MIFG", WeatherIntensity::Moderate, false, "MI", {"FG"}},
      {"UP", WeatherIntensity::Moderate, false, "", {"UP"}},
  };
  for (const Case& c : cases) {
    const Metar m = with_group(std::string("27010KT 10SM ") + c.group + " OVC010");
    ASSERT_EQ(m.weather.size(), 1u) << c.group;
    const WeatherGroup& w = m.weather[0];
    EXPECT_EQ(w.text, c.group);
    EXPECT_EQ(w.intensity, c.intensity) << c.group;
    EXPECT_EQ(w.vicinity, c.vicinity) << c.group;
    EXPECT_EQ(w.descriptor, c.descriptor) << c.group;
    EXPECT_EQ(w.phenomena, c.phenomena) << c.group;
  }
  for (const char* odd : {"-", "VC", "XX", "RAX", "FZ", "+BR5"}) {
    const Metar m = with_group(std::string("27010KT 10SM ") + odd);
    EXPECT_TRUE(m.weather.empty()) << odd;
    EXPECT_EQ(m.unknown_groups, std::vector<std::string>{odd});
  }
  EXPECT_TRUE(with_group("27010KT 10SM // OVC010").weather.empty());  // not observed
}

TEST(Metar, SkyCover) {
  struct Case {
    const char* group;
    SkyCover cover;
    std::optional<int> base_ft;
    const char* cloud;
  };
  const Case cases[] = {
      {"FEW045", SkyCover::Few, 4500, ""},
      {"SCT250", SkyCover::Scattered, 25000, ""},
      {"BKN008", SkyCover::Broken, 800, ""},
      {"OVC000", SkyCover::Overcast, 0, ""},
      {"BKN020CB", SkyCover::Broken, 2000, "CB"},
      {"SCT030TCU", SkyCover::Scattered, 3000, "TCU"},
      {"FEW///", SkyCover::Few, std::nullopt, ""},
      {"///030", SkyCover::Unknown, 3000, ""},
      {"//////CB", SkyCover::Unknown, std::nullopt, "CB"},
      {"BKN040///", SkyCover::Broken, 4000, ""},
      {"VV002", SkyCover::Obscured, 200, ""},
      {"VV///", SkyCover::Obscured, std::nullopt, ""},
      {"SKC", SkyCover::Clear, std::nullopt, ""},
      {"CLR", SkyCover::Clear, std::nullopt, ""},
      {"NSC", SkyCover::Clear, std::nullopt, ""},
      {"NCD", SkyCover::Clear, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    const Metar m = with_group(std::string("27010KT 10SM ") + c.group);
    ASSERT_EQ(m.sky.size(), 1u) << c.group;
    EXPECT_EQ(m.sky[0].text, c.group);
    EXPECT_EQ(m.sky[0].cover, c.cover) << c.group;
    EXPECT_EQ(m.sky[0].base_ft, c.base_ft) << c.group;
    EXPECT_EQ(m.sky[0].cloud, c.cloud) << c.group;
  }
  const Metar layers = decoded(fixture("kmco_tsra.txt"));
  ASSERT_EQ(layers.sky.size(), 2u);
  EXPECT_EQ(layers.sky[1].text, "OVC050");
  for (const char* odd : {"FEW45", "BKN0450", "OVC010XX", "VV02"}) EXPECT_TRUE(with_group(odd).sky.empty()) << odd;
}

TEST(Metar, TemperatureAndDewPoint) {
  struct Case {
    const char* groups;
    std::optional<double> temperature;
    std::optional<double> dewpoint;
  };
  const Case cases[] = {
      {"22/12", 22, 12},
      {"M05/M10", -5, -10},
      {"05/M02", 5, -2},
      {"M00/M01", 0, -1},
      {"22/", 22, std::nullopt},
      {"22///", 22, std::nullopt},
      {"M/M", std::nullopt, std::nullopt},
      {"///12", std::nullopt, std::nullopt},  // not a form a station sends: read past
      // The remarks' tenths win over the whole degrees of the body.
      {"22/12 RMK AO2 T02220117", 22.2, 11.7},
      {"M03/M10 RMK T10331100", -3.3, -10.0},
      {"M00/M00 RMK T10001000", 0.0, 0.0},
      // Temperature only in the remarks: the body's dew point stays.
      {"22/12 RMK T0217", 21.7, 12},
      {"M/M RMK T01110022", 11.1, 2.2},
      // A malformed tenths group is not used.
      {"22/12 RMK T0222011", 22, 12},
  };
  for (const Case& c : cases) {
    const Metar m = decoded(std::string("KXYZ 121853Z 27010KT 10SM CLR ") + c.groups);
    EXPECT_EQ(m.temperature_c, c.temperature) << c.groups;
    EXPECT_EQ(m.dewpoint_c, c.dewpoint) << c.groups;
  }
}

TEST(Metar, Pressure) {
  struct Case {
    const char* groups;
    std::optional<double> hpa;
    std::optional<double> inches;
  };
  const Case cases[] = {
      {"A3012", 30.12 * 33.8638866667, 30.12},
      {"Q1013", 1013, 1013 / 33.8638866667},
      {"Q0998", 998, 998 / 33.8638866667},
      {"A////", std::nullopt, std::nullopt},
      {"Q1013 A2991", 1013, 1013 / 33.8638866667},  // the first counts
      // In the remarks an A group is something else.
      {"RMK AO2 A3004", std::nullopt, std::nullopt},
      {"A2992 RMK A3004", 2992 * 0.338638866667, 29.92},
  };
  for (const Case& c : cases) {
    const Metar m = decoded(std::string("KXYZ 121853Z 27010KT 10SM CLR 10/05 ") + c.groups);
    ASSERT_EQ(m.pressure.has_value(), c.hpa.has_value()) << c.groups;
    if (!c.hpa) continue;
    EXPECT_NEAR(m.pressure->hectopascals(), *c.hpa, 1e-6) << c.groups;
    EXPECT_NEAR(m.pressure->inches_of_mercury(), *c.inches, 1e-9) << c.groups;
  }
}

TEST(Metar, UnknownGroupsAreKeptAndReadPast) {
  const Metar m = decoded("KXYZ 121853Z 27010KT XYZZY 10SM CLR 10/05 A3000 QQQ RMK NONSENSE");
  EXPECT_EQ(m.unknown_groups, (std::vector<std::string>{"XYZZY", "QQQ"}));
  EXPECT_TRUE(m.wind);
  EXPECT_TRUE(m.visibility);
  EXPECT_EQ(m.temperature_c, 10);
  EXPECT_TRUE(m.pressure);
}

TEST(Metar, SummaryFormatsEachElement) {
  const auto s = metar_summary(decoded("KXYZ 010005Z 00000KT 0000 -RA BR BKN003 OVC010 M00/M05 Q0999"));
  EXPECT_EQ(s[1].second, "010005Z");  // the time keeps its leading zeros
  EXPECT_EQ(s[2].second, "");         // calm: no direction
  EXPECT_EQ(s[3].second, "0");
  EXPECT_EQ(s[5].second, "0");
  EXPECT_EQ(s[6].second, "-RA BR");
  EXPECT_EQ(s[7].second, "BKN003 OVC010");
  EXPECT_EQ(s[8].second, "0.0");  // never "-0.0"
  EXPECT_EQ(s[10].second, "999.0");
}

}  // namespace
}  // namespace cirrodex
