// The information table of the ten named bodies, in Korean.
#include "scene/body_info.h"

// Each text has six lines: radius in km, mass in 10^24 kg, density in g/cm3,
// surface gravity with Earth = 1, rotation period and revolution period (일
// days, 시간 hours, 년 years). The strings are UTF-8, which is what the
// message boxes take.
static constexpr BodyInfo body_infos[] = {
    {101, "태양",
     "반지름(Km) : 695,500\n"
     "질량(10*24승 Kg) : 1,989,000\n"
     "밀도(g/cm3) : 1.41\n"
     "중력(지구=1) : 28\n"
     "자전주기 : 25.4일\n"
     "공전주기 : -"},
    {102, "수성",
     "반지름(Km) : 2439.7\n"
     "질량(10*24승 Kg) : 0.330\n"
     "밀도(g/cm3) : 5.43\n"
     "중력(지구=1) : 0.38\n"
     "자전주기 : 58.6일\n"
     "공전주기 : 88.0일"},
    {103, "금성",
     "반지름(Km) : 6051.8\n"
     "질량(10*24승 Kg) : 4.87\n"
     "밀도(g/cm3) : 5.24\n"
     "중력(지구=1) : 0.91\n"
     "자전주기 : 243일\n"
     "공전주기 : 224.7일"},
    {104, "지구",
     "반지름(Km) : 6378.1\n"
     "질량(10*24승 Kg) : 5.97\n"
     "밀도(g/cm3) : 5.52\n"
     "중력(지구=1) : 1.00\n"
     "자전주기 : 23.93시간\n"
     "공전주기 : 365.24일"},
    {105, "화성",
     "반지름(Km) : 3397\n"
     "질량(10*24승 Kg) : 0.642\n"
     "밀도(g/cm3) : 3.93\n"
     "중력(지구=1) : 0.38\n"
     "자전주기 : 24.62시간\n"
     "공전주기 : 1.88년"},
    {106, "목성",
     "반지름(Km) : 71492\n"
     "질량(10*24승 Kg) : 1899\n"
     "밀도(g/cm3) : 1.33\n"
     "중력(지구=1) : 2.14\n"
     "자전주기 : 9.93시간\n"
     "공전주기 : 11.86년"},
    {107, "토성",
     "반지름(Km) : 60268\n"
     "질량(10*24승 Kg) : 568\n"
     "밀도(g/cm3) : 0.69\n"
     "중력(지구=1) : 0.74\n"
     "자전주기 : 10.7시간\n"
     "공전주기 : 29.4년"},
    {108, "천왕성",
     "반지름(Km) : 25559\n"
     "질량(10*24승 Kg) : 86.8\n"
     "밀도(g/cm3) : 1.27\n"
     "중력(지구=1) : 0.86\n"
     "자전주기 : 17.2시간\n"
     "공전주기 : 84.0년"},
    {109, "해왕성",
     "반지름(Km) : 24764\n"
     "질량(10*24승 Kg) : 102\n"
     "밀도(g/cm3) : 1.64\n"
     "중력(지구=1) : 1.10\n"
     "자전주기 : 16.1시간\n"
     "공전주기 : 164.8년"},
    {110, "명왕성",
     "반지름(Km) : 1151\n"
     "질량(10*24승 Kg) : 0.013\n"
     "밀도(g/cm3) : 2.0\n"
     "중력(지구=1) : 0.08\n"
     "자전주기 : 6.4일\n"
     "공전주기 : 247.9년"},
};

const BodyInfo* find_body_info(BodyId id) {
    for (const BodyInfo& info : body_infos) {
        if (info.id == id) return &info;
    }
    return nullptr;
}
