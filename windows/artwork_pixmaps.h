// Velmora's artwork as text pixel maps (see pixel_map.h): the window icon at 32 and 16 pixels,
// the five state balls, the eight toolbar images and the about window's envelope and globe.
// Each row is one line of pixels; '.' is transparent, every other character is in the legend
// above its rows.
#pragma once

#include <iterator>
#include <span>
#include <string_view>

#include "windows/pixel_map.h"

namespace velmora::art {

// clang-format off
// The window icon: a purple radio-telescope dish on its pedestal, 32 by 32.
inline constexpr LegendEntry kAppIcon32Legend[] = {
    {'a', 0xFFE0C0F8}, {'b', 0xFFD8B0F8}, {'c', 0xFFD0B0E0}, {'d', 0xFFD0A8F0},
    {'e', 0xFFC898F0}, {'f', 0xFFC090F0}, {'g', 0xFFB898D0}, {'h', 0xFFB880E8},
    {'i', 0xFFB078E8}, {'j', 0xFFA880C0}, {'k', 0xFFA870E0}, {'l', 0xFFA068D8},
    {'m', 0xFF9078A8}, {'n', 0xFF9858D0}, {'o', 0xFF9050C8}, {'p', 0xFF8058A8},
    {'q', 0xFF8848C0}, {'r', 0xFF7848A8}, {'s', 0xFF7040A0}, {'t', 0xFF684098},
    {'u', 0xFF6830A0}, {'v', 0xFF583878}, {'w', 0xFF603088}, {'x', 0xFF583080},
    {'y', 0xFF502878}, {'z', 0xFF482070}, {'A', 0xFF402060}, {'B', 0xFF401860},
    {'C', 0xFF381858}, {'D', 0xFF301050}, {'E', 0xE0381860}, {'F', 0x90381860},
    {'G', 0xC0381058}, {'H', 0xB0381058}, {'I', 0xF0301048}, {'J', 0xD0300848},
    {'K', 0xE0280848}, {'L', 0xC0280848}, {'M', 0xB0280848}, {'N', 0xA0280848},
    {'O', 0x90280848}, {'P', 0x80280848}, {'Q', 0x70280848}, {'R', 0x60280848},
    {'S', 0x50280848}, {'T', 0x40280848}, {'U', 0x20280848}, {'V', 0x10280848},
};
inline constexpr std::string_view kAppIcon32Rows[] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "..................URU...........",
    ".....UTTU........UvjvT..........",
    "...ULCyyAINT....UNjfoO..........",
    "..VKphiklnsBJPFEEGvoxS..........",
    "..QtefhikosyBCER..RIS...........",
    "..NjdeltzBxsqqxIT.TE............",
    "..MjbdprnklnnoquDRRG............",
    "..MmabdfhiklnnoqsCHF............",
    "..NvaadefhiklnoqqsCH............",
    "..QDcabdefhkklnoqqzDU...........",
    "..TDvaabdefiklnnoqzyL...........",
    "...IDjaabdfhiklnnozsBR..........",
    "...OCCcaadefhiklnoCquK..........",
    "...UIBAcabdefhkkloCqqBT.........",
    "....RDBAcabdefikloBoqxP.........",
    ".....OCBAgabdfhikqznouN.........",
    "......NCBDpbdefhilqnosN.........",
    ".......PDBDAjdefhkklnyQ.........",
    "........TKCBDymffiklsKV.........",
    "..........RJDCDDzvyCLU..........",
    "............QCyyAADQ............",
    "............OxrtwyCO............",
    "............MtrtwyCM............",
    "......VPPPPPIrrtwyBIPPPPPV......",
    "......OysttwwwxxyyyzzAABDO......",
    ".....UzqpprrssttwwxxyyzzBDU.....",
    ".....MBAAABBBCCCCCCDDDDDDDM.....",
    "................................",
};
inline constexpr PixelMap kAppIcon32{32, 32, kAppIcon32Rows, kAppIcon32Legend};

// The same dish drawn again for 16 by 16, with struts thick enough to survive the size.
inline constexpr LegendEntry kAppIcon16Legend[] = {
    {'a', 0xFFE0C0F8}, {'b', 0xFFD0B0F0}, {'c', 0xFFC898F0}, {'d', 0xFFB090C0},
    {'e', 0xFFB088E0}, {'f', 0xFFA870E0}, {'g', 0xFF9860C8}, {'h', 0xFF8868A0},
    {'i', 0xFF8050A8}, {'j', 0xFF785890}, {'k', 0xFF8048B8}, {'l', 0xFF7840A8},
    {'m', 0xFF683890}, {'n', 0xFF583088}, {'o', 0xFF502078}, {'p', 0xFF402068},
    {'q', 0xFF381060}, {'r', 0xF0705090}, {'s', 0xE0604080}, {'t', 0xF0502870},
    {'u', 0xD0482868}, {'v', 0x90401860}, {'w', 0xD0381860}, {'x', 0xE0381058},
    {'y', 0xF0301050}, {'z', 0x90301050}, {'A', 0x80301050}, {'B', 0x50280848},
    {'C', 0x40280848}, {'D', 0x30280848}, {'E', 0x20280848}, {'F', 0x10280848},
};
inline constexpr std::string_view kAppIcon16Rows[] = {
    "................",
    "................",
    "...EF...Cru.....",
    ".BrimuAAxemF....",
    ".scinpowCxA.....",
    ".rbkgfgkxx......",
    ".yabcffgkqF.....",
    ".zhaccfgkpz.....",
    ".EqdacefkooF....",
    "..ApdacfknlB....",
    "...zqjccfglC....",
    "....Cxpmilw.....",
    "......wmow......",
    "...ECCtlnyCCE...",
    "...tllmmnoppy...",
    "..DvvvvvvzzzzD..",
};
inline constexpr PixelMap kAppIcon16{16, 16, kAppIcon16Rows, kAppIcon16Legend};

// The state ball: one shape, shaded with tones a (rim) to p (highlight); 1 to 4 are the
// anti-aliased edge at rising alpha. Each colour is a legend over the same rows.
inline constexpr std::string_view kBallRows[] = {
    "................",
    "................",
    ".....24gf42.....",
    "...14jkjhhf41...",
    "...4kopplhgf4...",
    "..2hkopolhgfe2..",
    "..4iijkjhggfe4..",
    "..fhhhhhggfedc..",
    "..fhhhhggffedc..",
    "..4ggggggfedd4..",
    "..2ghhhggffee2..",
    "...4hhhhggff4...",
    "...14hhhggg41...",
    ".....24ff42.....",
    "................",
    "................",
};
inline constexpr LegendEntry kWhiteBallLegend[] = {
    {'a', 0xFF82828A}, {'b', 0xFF909097}, {'c', 0xFF9C9CA4}, {'d', 0xFFAAAAB1},
    {'e', 0xFFB6B6BD}, {'f', 0xFFC4C4CA}, {'g', 0xFFD0D0D7}, {'h', 0xFFDEDEE4},
    {'i', 0xFFE6E6EB}, {'j', 0xFFE9E9EE}, {'k', 0xFFECECF1}, {'l', 0xFFF0F0F3},
    {'m', 0xFFF3F3F6}, {'n', 0xFFF7F7F8}, {'o', 0xFFFAFAFB}, {'p', 0xFFFDFDFE},
    {'1', 0x408C8C93}, {'2', 0x808C8C93}, {'3', 0xBF8C8C93}, {'4', 0xEB8C8C93},
};
inline constexpr LegendEntry kBlackBallLegend[] = {
    {'a', 0xFF040404}, {'b', 0xFF0B0B0D}, {'c', 0xFF131315}, {'d', 0xFF1A1A1E},
    {'e', 0xFF222226}, {'f', 0xFF29292F}, {'g', 0xFF313137}, {'h', 0xFF383840},
    {'i', 0xFF46464E}, {'j', 0xFF595961}, {'k', 0xFF6D6D75}, {'l', 0xFF808088},
    {'m', 0xFF94949C}, {'n', 0xFFA7A7AF}, {'o', 0xFFBBBBC3}, {'p', 0xFFCECED6},
    {'1', 0x4009090A}, {'2', 0x8009090A}, {'3', 0xBF09090A}, {'4', 0xEB09090A},
};
inline constexpr LegendEntry kGreenBallLegend[] = {
    {'a', 0xFF0E5113}, {'b', 0xFF125F18}, {'c', 0xFF166C1D}, {'d', 0xFF1A7A22},
    {'e', 0xFF1F8828}, {'f', 0xFF23962D}, {'g', 0xFF27A332}, {'h', 0xFF2BB137},
    {'i', 0xFF39BC45}, {'j', 0xFF50C55B}, {'k', 0xFF68CE71}, {'l', 0xFF80D787},
    {'m', 0xFF97E09D}, {'n', 0xFFAFE9B3}, {'o', 0xFFC7F2C9}, {'p', 0xFFDEFBDF},
    {'1', 0x40115A16}, {'2', 0x80115A16}, {'3', 0xBF115A16}, {'4', 0xEB115A16},
};
inline constexpr LegendEntry kBlueBallLegend[] = {
    {'a', 0xFF0C297F}, {'b', 0xFF11328D}, {'c', 0xFF163B9A}, {'d', 0xFF1A44A8},
    {'e', 0xFF1F4DB6}, {'f', 0xFF2356C4}, {'g', 0xFF285FD1}, {'h', 0xFF2D68DF},
    {'i', 0xFF3B75E8}, {'j', 0xFF5286EB}, {'k', 0xFF6997EE}, {'l', 0xFF81A7F1},
    {'m', 0xFF98B8F4}, {'n', 0xFFB0C8F7}, {'o', 0xFFC7D9FA}, {'p', 0xFFDEEAFD},
    {'1', 0x40102F88}, {'2', 0x80102F88}, {'3', 0xBF102F88}, {'4', 0xEB102F88},
};
inline constexpr LegendEntry kRedBallLegend[] = {
    {'a', 0xFF750D0C}, {'b', 0xFF831210}, {'c', 0xFF921714}, {'d', 0xFFA01D18},
    {'e', 0xFFAE221C}, {'f', 0xFFBC2820}, {'g', 0xFFCB2D24}, {'h', 0xFFD93228},
    {'i', 0xFFE24036}, {'j', 0xFFE6574E}, {'k', 0xFFEA6E65}, {'l', 0xFFEE857D},
    {'m', 0xFFF19C95}, {'n', 0xFFF5B3AD}, {'o', 0xFFF9CAC4}, {'p', 0xFFFDE1DC},
    {'1', 0x407F100F}, {'2', 0x807F100F}, {'3', 0xBF7F100F}, {'4', 0xEB7F100F},
};

inline constexpr PixelMap kStateBalls[] = {
    {16, 16, kBallRows, kWhiteBallLegend},
    {16, 16, kBallRows, kBlackBallLegend},
    {16, 16, kBallRows, kGreenBallLegend},
    {16, 16, kBallRows, kBlueBallLegend},
    {16, 16, kBallRows, kRedBallLegend},
};

// An open door with a green arrow going in.
inline constexpr LegendEntry kExitDoorLegend[] = {
    {'a', 0xFFF8D868}, {'b', 0xFFD8A858}, {'c', 0xFFC89858}, {'d', 0xFFC08850},
    {'e', 0xFF50C050}, {'f', 0xFFB07840}, {'g', 0xFF40B040}, {'h', 0xFF886848},
    {'i', 0xFF906030}, {'j', 0xFF805828}, {'k', 0xFF288028}, {'l', 0xFF685840},
    {'m', 0xFF705028}, {'n', 0xFF605038}, {'o', 0xFF187020}, {'p', 0xFF305828},
    {'q', 0xFF584030}, {'r', 0xFF504028}, {'s', 0xFF583818}, {'t', 0xFF285018},
    {'u', 0xFF105810}, {'v', 0xFF483820}, {'w', 0xFF483010}, {'x', 0xFF104818},
    {'y', 0xFF283038}, {'z', 0xFF202830}, {'A', 0xFF302018}, {'B', 0xFF182020},
    {'C', 0xFF181820}, {'D', 0xFF101820}, {'E', 0xFF101818}, {'F', 0xF0503010},
    {'G', 0xB0483010}, {'H', 0x90483010}, {'I', 0x80483010}, {'J', 0x60483010},
    {'K', 0x50483010}, {'L', 0x30483010}, {'M', 0x20483010}, {'N', 0x10483010},
};
inline constexpr std::string_view kExitDoorRows[] = {
    "................",
    "....wwwwwwwwJN..",
    "....whllllhwmFHL",
    "....wlyyyylwcfjw",
    "....wpzzzzlwcdfw",
    "....wuxzzznwcdfw",
    "....wukxzznwcdfw",
    "uuuuuoekxznwcdfw",
    "ueeeeeeeoxqwcdbw",
    "uuuuuogkxzqwccas",
    "....wuoxBBqwcdfw",
    "....wuxBBBrwcdfw",
    "....wtCCCCrwcdfw",
    "....wvDDDDvwcdfw",
    "....wAEEEEAwmjiw",
    "...........MKIGF",
};
inline constexpr PixelMap kExitDoor{16, 16, kExitDoorRows, kExitDoorLegend};

// An open yellow folder with a green plus.
inline constexpr LegendEntry kAddFolderLegend[] = {
    {'a', 0xFFFFE8A0}, {'b', 0xFFFFE090}, {'c', 0xFFF8E080}, {'d', 0xFFF8D070},
    {'e', 0xFFF8D058}, {'f', 0xFFE8C868}, {'g', 0xFFF0C048}, {'h', 0xFFE8B840},
    {'i', 0xFFE8B040}, {'j', 0xFFE0A830}, {'k', 0xFFC8A850}, {'l', 0xFFD09830},
    {'m', 0xFFC89030}, {'n', 0xFF50C050}, {'o', 0xFFB89030}, {'p', 0xFF48B848},
    {'q', 0xFFA88030}, {'r', 0xFF40A040}, {'s', 0xFF788828}, {'t', 0xFFA87018},
    {'u', 0xFF409838}, {'v', 0xFF309030}, {'w', 0xFF906010}, {'x', 0xFF288830},
    {'y', 0xFF885808}, {'z', 0xFF208028}, {'A', 0xFF505810}, {'B', 0xFF305810},
    {'C', 0xFF105810}, {'D', 0xF0906008}, {'E', 0xE0885808}, {'F', 0xD0885808},
    {'G', 0xA0885808}, {'H', 0x80885808}, {'I', 0x60885808}, {'J', 0x40885808},
    {'K', 0x30885808}, {'L', 0x20885808}, {'M', 0xC0105810}, {'N', 0x80105810},
};
inline constexpr std::string_view kAddFolderRows[] = {
    "..........NCCN..",
    "..........NrrN..",
    "........NNMuuMNN",
    "yyyyyI..CvvnnvvC",
    "yaaacDK.CvvppvvC",
    "yhhhhmyyAABxxMNN",
    "yiiiiiiiiiszzN..",
    "yilyyyyyyyACCAyF",
    "yjtkbbbbbbbbbbqI",
    "ylwdcccccccccfE.",
    "ytoddddddddddoH.",
    "ywgeeeeeeeeeewL.",
    "ytggggggggggmG..",
    "yyyyyyyyyyyyyJ..",
    "................",
    "................",
};
inline constexpr PixelMap kAddFolder{16, 16, kAddFolderRows, kAddFolderLegend};

// The open folder crossed out in red.
inline constexpr LegendEntry kRemoveFolderLegend[] = {
    {'a', 0xFFFFE090}, {'b', 0xFFF0D078}, {'c', 0xFFF8D058}, {'d', 0xFFE8C868},
    {'e', 0xFFF0C048}, {'f', 0xFFE8B040}, {'g', 0xFFE0A830}, {'h', 0xFFC8A850},
    {'i', 0xFFD09830}, {'j', 0xFFC08850}, {'k', 0xFFB89030}, {'l', 0xFFC08040},
    {'m', 0xFFA88030}, {'n', 0xFFC07030}, {'o', 0xFFE05040}, {'p', 0xFFB86828},
    {'q', 0xFFA87018}, {'r', 0xFFE04030}, {'s', 0xFF906010}, {'t', 0xFFD03028},
    {'u', 0xFF885808}, {'v', 0xFFC82820}, {'w', 0xFFC02018}, {'x', 0xFF803808},
    {'y', 0xFF982018}, {'z', 0xFF901810}, {'A', 0xFF901010}, {'B', 0xFF801008},
    {'C', 0xE0885808}, {'D', 0xD0885808}, {'E', 0x80885808}, {'F', 0x60885808},
    {'G', 0x20885808}, {'H', 0xA0802008}, {'I', 0x90802008}, {'J', 0x80801808},
    {'K', 0xF0781008}, {'L', 0xE0780808}, {'M', 0x70780808}, {'N', 0x60780808},
};
inline constexpr std::string_view kRemoveFolderRows[] = {
    "................",
    "................",
    "..NLM......MLN..",
    "uuBoyH....MyoL..",
    "uajyoyJ..MyoyM..",
    "uffpzozxxzozx...",
    "ufffpzrzzrzpu...",
    "ufiuuxzrrzxuuuuD",
    "ugqhajzttzjaaamF",
    "uisblAtzztAladC.",
    "uqklAtAllAtAlkE.",
    "usnAvAlcclAvAxG.",
    "uqzwAneeeenAwK..",
    "uuxBxuuuuuuxBI..",
    "................",
    "................",
};
inline constexpr PixelMap kRemoveFolder{16, 16, kRemoveFolderRows, kRemoveFolderLegend};

// A glossy blue disc with a white letter i.
inline constexpr LegendEntry kInfoDiscLegend[] = {
    {'a', 0xFFFFFFFF}, {'b', 0xFFC8D8F8}, {'c', 0xFFB0C8F0}, {'d', 0xFFA8C8F8},
    {'e', 0xFFA0C0F0}, {'f', 0xFF98B8F0}, {'g', 0xFF90B0F0}, {'h', 0xFF88B0F0},
    {'i', 0xFF80A8F0}, {'j', 0xFF6898E8}, {'k', 0xFF6090E8}, {'l', 0xFF6088E0},
    {'m', 0xFF5888D8}, {'n', 0xFF4880E8}, {'o', 0xFF4078E0}, {'p', 0xFF4070D0},
    {'q', 0xFF3070E0}, {'r', 0xFF3068E0}, {'s', 0xFF2868E0}, {'t', 0xFF2868D8},
    {'u', 0xFF2860D8}, {'v', 0xFF2860D0}, {'w', 0xFF2060D0}, {'x', 0xFF2058C8},
    {'y', 0xFF2058C0}, {'z', 0xFF2050C0}, {'A', 0xFF2050B8}, {'B', 0xD03068D0},
    {'C', 0xF02860D0}, {'D', 0x802060C8}, {'E', 0xF02058C8}, {'F', 0xD02058C0},
    {'G', 0x602050C0}, {'H', 0xD02050B8}, {'I', 0x802050B8}, {'J', 0xF01848B0},
    {'K', 0x801848B0}, {'L', 0x401848B0}, {'M', 0x601848A8}, {'N', 0x201848A8},
};
inline constexpr std::string_view kInfoDiscRows[] = {
    "......LGGL......",
    "....DCrrsuEI....",
    "..NBnkjijruwHN..",
    "..BkhgdaaitvxH..",
    ".DoiggdaagqvwyK.",
    ".CqkihhefnuwxyJ.",
    "LtqqongefovwxyAL",
    "GtsrssbaalwxyzAM",
    "GussstkaamwxyAAM",
    "LvtttulaamxyzAAL",
    ".EuuuulaamxyzzJ.",
    ".IustocaacpxxxK.",
    "..FsskaaaalvvH..",
    "..NFtsssssstFN..",
    "....IEuttuEI....",
    "......LMML......",
};
inline constexpr PixelMap kInfoDisc{16, 16, kInfoDiscRows, kInfoDiscLegend};

// Two green arrows chasing each other round a circle.
inline constexpr LegendEntry kRefreshArrowsLegend[] = {
    {'a', 0xFF58C058}, {'b', 0xFF40A040}, {'c', 0xFF409840}, {'d', 0xFF309838},
    {'e', 0xFF389038}, {'f', 0xFF308830}, {'g', 0xFF308030}, {'h', 0xFF288028},
    {'i', 0xFF208028}, {'j', 0xFF287828}, {'k', 0xFF207828}, {'l', 0xFF207820},
    {'m', 0xFF187020}, {'n', 0xFF186820}, {'o', 0xFF106818}, {'p', 0xFF106018},
    {'q', 0xFF106010}, {'r', 0xF0106018}, {'s', 0xF0106010}, {'t', 0xF0105810},
    {'u', 0xD0105810}, {'v', 0xC0105810}, {'w', 0xA0105810}, {'x', 0x90105810},
    {'y', 0x80105810}, {'z', 0x70105810}, {'A', 0x50105810}, {'B', 0x40105810},
    {'C', 0x30105810}, {'D', 0x20105810}, {'E', 0x10105810},
};
inline constexpr std::string_view kRefreshArrowsRows[] = {
    "................",
    ".......DD..BA...",
    "....Dwrkkrwux...",
    "...Brcehhefju...",
    "..DrbrzCCypanD..",
    "..werD...xpnsB..",
    "..sgz....BCE....",
    "..xvE...........",
    "...........Evx..",
    "....ECB....zit..",
    "..Btppx...Drhw..",
    "..DodqyCCzrhrD..",
    "...ummlnnlkrB...",
    "...xuwsooswD....",
    "...AB..DD.......",
    "................",
};
inline constexpr PixelMap kRefreshArrows{16, 16, kRefreshArrowsRows, kRefreshArrowsLegend};

// A closed yellow envelope.
inline constexpr LegendEntry kEnvelope16Legend[] = {
    {'a', 0xFFFFF0B0}, {'b', 0xFFFFF0A8}, {'c', 0xFFFFE898}, {'d', 0xFFF0E8B0},
    {'e', 0xFFF8E890}, {'f', 0xFFF8E088}, {'g', 0xFFF8E080}, {'h', 0xFFF0E080},
    {'i', 0xFFF8D880}, {'j', 0xFFF8D878}, {'k', 0xFFF8D870}, {'l', 0xFFE8D898},
    {'m', 0xFFF0D880}, {'n', 0xFFE8D890}, {'o', 0xFFF0D070}, {'p', 0xFFE8D080},
    {'q', 0xFFF0D068}, {'r', 0xFFF0D060}, {'s', 0xFFF0C860}, {'t', 0xFFE0C878},
    {'u', 0xFFE8C860}, {'v', 0xFFE0C078}, {'w', 0xFFE8C058}, {'x', 0xFFE0B848},
    {'y', 0xFFE0B040}, {'z', 0xFFD0B058}, {'A', 0xFFD8B040}, {'B', 0xFFD0B050},
    {'C', 0xFFD8A838}, {'D', 0xFFC0A040}, {'E', 0xFFB89838}, {'F', 0xFFC09028},
    {'G', 0xFFB09030}, {'H', 0xFFB08830}, {'I', 0xFFA88830}, {'J', 0xFFA07818},
    {'K', 0xFF987018}, {'L', 0xFF906810}, {'M', 0xFF886010},
};
inline constexpr std::string_view kEnvelope16Rows[] = {
    "................",
    "................",
    "................",
    "LKKKKKKKKKKKKKKL",
    "MtIlddddddddlItM",
    "McpHnaaaaaanHpcM",
    "MeemGvbbbbvGmeeM",
    "MfffhEzcczEhfffM",
    "MggggiEDDEiggggM",
    "MjjjoAxBBxAojjjM",
    "MkkuCwkkkkwCukkM",
    "MqxCsqqqqqqsCxqM",
    "LCyrrrrrrrrrryCL",
    "FJMMMMMMMMMMMMJF",
    "................",
    "................",
};
inline constexpr PixelMap kEnvelope16{16, 16, kEnvelope16Rows, kEnvelope16Legend};

// A globe: blue seas, green land.
inline constexpr LegendEntry kGlobe16Legend[] = {
    {'a', 0xFF70D068}, {'b', 0xFF68C860}, {'c', 0xFF60C858}, {'d', 0xFF50C050},
    {'e', 0xFF40B840}, {'f', 0xFF4890E8}, {'g', 0xFF30B038}, {'h', 0xFF4088E0},
    {'i', 0xFF3080E0}, {'j', 0xFF4878C8}, {'k', 0xFF28A030}, {'l', 0xFF3078E0},
    {'m', 0xFF2878E0}, {'n', 0xFF289830}, {'o', 0xFF289828}, {'p', 0xFF2870D8},
    {'q', 0xFF2870D0}, {'r', 0xFF209028}, {'s', 0xFF208828}, {'t', 0xFF2068D0},
    {'u', 0xFF2068C8}, {'v', 0xFF2060C0}, {'w', 0xFF2858A8}, {'x', 0xFF2058B0},
    {'y', 0xFF186840}, {'z', 0xFF2050A8}, {'A', 0xFF1850B0}, {'B', 0xFF185858},
    {'C', 0xFF184898}, {'D', 0xFF104098}, {'E', 0xFF104090}, {'F', 0xFF104860},
    {'G', 0xFF103888}, {'H', 0xE0103080}, {'I', 0xE0083078}, {'J', 0xC0083078},
    {'K', 0x60083078}, {'L', 0x40083078}, {'M', 0x20083078}, {'N', 0x10083078},
};
inline constexpr std::string_view kGlobe16Rows[] = {
    "......MLLM......",
    "....KHCxzDHK....",
    "..NJwheeimqCJN..",
    "..JjbaacelpqAJ..",
    ".KwbaaaadlpqnBK.",
    ".HhcaaabfmpknrI.",
    "MCihdddelpqkorFM",
    "LziiiiggpqqurrBL",
    "LzmlmmmkkkuvrsEL",
    "MDpppppqknorxxGM",
    ".HtqqqqtnorrxAI.",
    ".KCttuuvvrsxsBK.",
    "..JzvvvvxsxxyJ..",
    "..NJDxxxxxAEJN..",
    "....KIGEEGIK....",
    "......MLLM......",
};
inline constexpr PixelMap kGlobe16{16, 16, kGlobe16Rows, kGlobe16Legend};

// A yellow T-shaped piece above a yellow U-shaped cup.
inline constexpr LegendEntry kTeeAboveCupLegend[] = {
    {'a', 0xFFFFF098}, {'b', 0xFFF8E890}, {'c', 0xFFF8E080}, {'d', 0xFFF8D878},
    {'e', 0xFFF0D070}, {'f', 0xFFF0C860}, {'g', 0xFFE8C870}, {'h', 0xFFF0C858},
    {'i', 0xFFF0C048}, {'j', 0xFFE8B840}, {'k', 0xFFD8B860}, {'l', 0xFFE8B030},
    {'m', 0xFFD0B058}, {'n', 0xFFE0A828}, {'o', 0xFFD0A848}, {'p', 0xFFC8A850},
    {'q', 0xFFE0A020}, {'r', 0xFFD8A030}, {'s', 0xFFD0A038}, {'t', 0xFFC0A048},
    {'u', 0xFFC89830}, {'v', 0xFFC09840}, {'w', 0xFFC09038}, {'x', 0xFFC89020},
    {'y', 0xFFB89040}, {'z', 0xFFB89028}, {'A', 0xFFB88820}, {'B', 0xFFB88018},
    {'C', 0xFFA87810}, {'D', 0xFF906008}, {'E', 0xFF885808}, {'F', 0xF0906010},
    {'G', 0xE0885808}, {'H', 0xD0885808}, {'I', 0xA0885808}, {'J', 0x80885808},
    {'K', 0x60885808}, {'L', 0x30885808}, {'M', 0x20885808}, {'N', 0x10885808},
};
inline constexpr std::string_view kTeeAboveCupRows[] = {
    "..EEEEEEEEEEEE..",
    "..EbcdefhijlnE..",
    "..EttvofhsAABE..",
    "..JJJJDfhDJJJJ..",
    "......EfhE......",
    "......EfhE......",
    "......EfhE......",
    "......EEEE......",
    "................",
    ".EEEJ......JEEE.",
    ".EatJ......JBqE.",
    ".EbkGM....MGxqE.",
    ".IybpGJJJJGAnCI.",
    ".NHmcmvwwzulxHN.",
    "..LFgdefhijrFL..",
    "...KEEEEEEEEK...",
};
inline constexpr PixelMap kTeeAboveCup{16, 16, kTeeAboveCupRows, kTeeAboveCupLegend};

inline constexpr PixelMap kButtonImages[] = {
    kExitDoor, kAddFolder, kRemoveFolder, kInfoDisc, kRefreshArrows, kEnvelope16, kGlobe16, kTeeAboveCup,
};

// The about window's mail picture: a 12 by 8 yellow envelope.
inline constexpr LegendEntry kSmallEnvelopeLegend[] = {
    {'a', 0xFFFFF0A8}, {'b', 0xFFF8E890}, {'c', 0xFFF0E0A8}, {'d', 0xFFF8E088},
    {'e', 0xFFF8D878}, {'f', 0xFFF8D870}, {'g', 0xFFF0D880}, {'h', 0xFFF0D870},
    {'i', 0xFFF0D070}, {'j', 0xFFE8D080}, {'k', 0xFFF0D060}, {'l', 0xFFE0D088},
    {'m', 0xFFF0C860}, {'n', 0xFFE0C880}, {'o', 0xFFE0C878}, {'p', 0xFFE0C050},
    {'q', 0xFFE0B040}, {'r', 0xFFD0B058}, {'s', 0xFFD8B040}, {'t', 0xFFD8A840},
    {'u', 0xFFD8A838}, {'v', 0xFFB89830}, {'w', 0xFFC09028}, {'x', 0xFFB09038},
    {'y', 0xFFB08830}, {'z', 0xFFA88028}, {'A', 0xFFA07818}, {'B', 0xFF987018},
    {'C', 0xFF906810}, {'D', 0xFF886010},
};
inline constexpr std::string_view kSmallEnvelopeRows[] = {
    "CBBBBBBBBBBC",
    "DozlcccclzoD",
    "DbjynaanyjbD",
    "DddgxrrxgddD",
    "DeeitvvtieeD",
    "DhpumffmuphD",
    "CsqkkkkkkqsC",
    "wADDDDDDDDAw",
};
inline constexpr PixelMap kSmallEnvelope{12, 8, kSmallEnvelopeRows, kSmallEnvelopeLegend};

// The about window's web picture: a 12 by 12 globe.
inline constexpr LegendEntry kSmallGlobeLegend[] = {
    {'a', 0xFF78D070}, {'b', 0xFF68D068}, {'c', 0xFF60C860}, {'d', 0xFF68C068},
    {'e', 0xFF58C050}, {'f', 0xFF48C050}, {'g', 0xFF40B840}, {'h', 0xFF5090E8},
    {'i', 0xFF30B030}, {'j', 0xFF3880E0}, {'k', 0xFF3080E0}, {'l', 0xFF28A030},
    {'m', 0xFF309050}, {'n', 0xFF2878E0}, {'o', 0xFF289828}, {'p', 0xFF2870D8},
    {'q', 0xFF2870D0}, {'r', 0xFF209028}, {'s', 0xFF2868C8}, {'t', 0xFF287860},
    {'u', 0xFF2068C8}, {'v', 0xFF2860B0}, {'w', 0xFF2060C0}, {'x', 0xFF2060B8},
    {'y', 0xFF2058B8}, {'z', 0xFF286070}, {'A', 0xFF2058B0}, {'B', 0xFF187038},
    {'C', 0xFF1858B0}, {'D', 0xFF186050}, {'E', 0xFF1850A0}, {'F', 0xFF104098},
    {'G', 0xFF104090}, {'H', 0xFF103888}, {'I', 0xF0103888}, {'J', 0xF0103870},
    {'K', 0xF0103080}, {'L', 0x90083078}, {'M', 0x60083078}, {'N', 0x10083078},
};
inline constexpr std::string_view kSmallGlobeRows[] = {
    "...NMLLMN...",
    "..MItmsCIM..",
    ".MzdbcgnqGM.",
    "NIcaabfnqlKN",
    "MvhccekploDM",
    "LsjjkiiqlrBL",
    "LunnnplloxEL",
    "MCppqqlorAFM",
    "NKuuuuwrArJN",
    ".MGwwxyACHM.",
    "..MKFEEFKM..",
    "...NMLLMN...",
};
inline constexpr PixelMap kSmallGlobe{12, 12, kSmallGlobeRows, kSmallGlobeLegend};

// clang-format on

static_assert(IsWellFormed(kAppIcon32) && kAppIcon32.width == 32 && kAppIcon32.height == 32);
static_assert(IsWellFormed(kAppIcon16) && kAppIcon16.width == 16 && kAppIcon16.height == 16);
static_assert(std::size(kStateBalls) == 5);
static_assert(std::size(kButtonImages) == 8);
static_assert(IsWellFormed(kSmallEnvelope) && kSmallEnvelope.width == 12 && kSmallEnvelope.height == 8);
static_assert(IsWellFormed(kSmallGlobe) && kSmallGlobe.width == 12 && kSmallGlobe.height == 12);

constexpr bool AllWellFormed16(std::span<const PixelMap> maps) {
  for (const PixelMap& map : maps) {
    if (!IsWellFormed(map) || map.width != 16 || map.height != 16)
      return false;
  }
  return true;
}
static_assert(AllWellFormed16(kStateBalls));
static_assert(AllWellFormed16(kButtonImages));

}  // namespace velmora::art
