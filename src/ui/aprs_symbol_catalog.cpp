#include "ui/aprs_symbol_catalog.h"

#include <array>

#include "ui/aprs_symbol_drawings.h"

namespace vextune::ui::symbols {
namespace {

template <int kDigit>
void Circle(QPainter& p) {
  DrawCircleDigit(p, kDigit);
}

template <char kCode>
void Unassigned(QPainter& p) {
  DrawUnassigned(p, kCode);
}

using Table = std::array<SymbolDrawing, kSymbolCount>;

// One drawing per entry in symbol code order; the comment is the code.
constexpr Table kPrimary = {
    DrawPoliceStation,        // !
    Unassigned<'"'>,          // "
    DrawDigi,                 // #
    DrawPhone,                // $
    DrawDxCluster,            // %
    DrawHfGateway,            // &
    DrawPlaneSmall,           // '
    DrawMobileSatStation,     // (
    DrawWheelChair,           // )
    DrawSnowMobile,           // *
    DrawRedCross,             // +
    DrawBoyScout,             // ,
    DrawHome,                 // -
    DrawX,                    // .
    DrawRedDot,               // /
    Circle<0>,                // 0
    Circle<1>,                // 1
    Circle<2>,                // 2
    Circle<3>,                // 3
    Circle<4>,                // 4
    Circle<5>,                // 5
    Circle<6>,                // 6
    Circle<7>,                // 7
    Circle<8>,                // 8
    Circle<9>,                // 9
    DrawFire,                 // :
    DrawCampground,           // ;
    DrawMotorcycle,           // <
    DrawRailEngine,           // =
    DrawCar,                  // >
    DrawFileServer,           // ?
    DrawHurricaneFuture,      // @
    DrawAidStation,           // A
    DrawBbs,                  // B
    DrawCanoe,                // C
    Unassigned<'D'>,          // D
    DrawEyeball,              // E
    DrawTractor,              // F
    DrawGridSquare,           // G
    DrawHotel,                // H
    DrawTcpIp,                // I
    Unassigned<'J'>,          // J
    DrawSchool,               // K
    DrawUserLogOn,            // L
    DrawMacAprs,              // M
    DrawNts,                  // N
    DrawBalloon,              // O
    DrawPoliceCar,            // P
    DrawTbd,                  // Q
    DrawRecVehicle,           // R
    DrawShuttle,              // S
    DrawSstv,                 // T
    DrawBus,                  // U
    DrawAtv,                  // V
    DrawWxService,            // W
    DrawHelicopter,           // X
    DrawYacht,                // Y
    DrawWinAprs,              // Z
    DrawJogger,               // [
    DrawTriangle,             // backslash
    DrawPbbs,                 // ]
    DrawPlaneLarge,           // ^
    DrawWxStation,            // _
    DrawDishAntenna,          // `
    DrawAmbulance,            // a
    DrawBike,                 // b
    DrawIcp,                  // c
    DrawFireStation,          // d
    DrawHorse,                // e
    DrawFireTruck,            // f
    DrawGlider,               // g
    DrawHospital,             // h
    DrawIotaIsland,           // i
    DrawJeep,                 // j
    DrawTruck,                // k
    DrawLaptop,               // l
    DrawMicERepeater,         // m
    DrawNode,                 // n
    DrawEoc,                  // o
    DrawRover,                // p
    DrawGridSquareAlternate,  // q
    DrawAntenna,              // r
    DrawPowerBoat,            // s
    DrawTruckStop,            // t
    DrawTruck18Wheels,        // u
    DrawVan,                  // v
    DrawWaterStation,         // w
    DrawXAprs,                // x
    DrawYagi,                 // y
    DrawPlaceholder,          // z
    DrawPlaceholder,          // {
    DrawPlaceholder,          // |
    DrawPlaceholder,          // }
    DrawPlaceholder,          // ~
};

constexpr Table kAlternate = {
    DrawEmergency,             // !
    Unassigned<'"'>,           // "
    DrawNumberedStar,          // #
    DrawBank,                  // $
    DrawPowerPlant,            // %
    DrawGateway,               // &
    DrawCrashSite,             // '
    DrawCloudy,                // (
    DrawPlaceholder,           // )
    DrawSnow,                  // *
    DrawChurch,                // +
    DrawGirlScout,             // ,
    DrawHouseHf,               // -
    DrawAmbiguous,             // .
    DrawPlaceholder,           // /
    DrawLinkCircle,            // 0
    DrawPlaceholder,           // 1
    DrawPlaceholder,           // 2
    DrawPlaceholder,           // 3
    DrawPlaceholder,           // 4
    DrawPlaceholder,           // 5
    DrawPlaceholder,           // 6
    DrawPlaceholder,           // 7
    DrawPlaceholder,           // 8
    DrawPetrolStation,         // 9
    DrawHail,                  // :
    DrawParkPicnicArea,        // ;
    DrawGaleFlag,              // <
    DrawPlaceholder,           // =
    DrawNumberedCar,           // >
    DrawInfoKiosk,             // ?
    DrawHurricane,             // @
    DrawNumberedBox,           // A
    DrawSnowBlowing,           // B
    DrawCoastGuard,            // C
    DrawDrizzle,               // D
    DrawSmoke,                 // E
    DrawFreezingRain,          // F
    DrawSnowShower,            // G
    DrawPlaceholder,           // H
    DrawRainShower,            // I
    DrawLightning,             // J
    DrawHandheldRadio,         // K
    DrawLighthouse,            // L
    DrawPlaceholder,           // M
    DrawNavigationBuoy,        // N
    DrawPlaceholder,           // O
    DrawParking,               // P
    DrawQuake,                 // Q
    DrawRestaurant,            // R
    DrawSatellite,             // S
    DrawThunderstorm,          // T
    DrawSunny,                 // U
    DrawVortac,                // V
    DrawNumberedNwsSite,       // W
    DrawPlaceholder,           // X
    DrawPlaceholder,           // Y
    DrawPlaceholder,           // Z
    DrawWallCloud,             // [
    DrawPlaceholder,           // backslash
    DrawPlaceholder,           // ]
    DrawNumberedAircraft,      // ^
    DrawNumberedWeatherSite,   // _
    DrawPlaceholder,           // `
    DrawArrl,                  // a
    DrawDustBlowing,           // b
    DrawNumberedCivilDefense,  // c
    DrawDxSpot,                // d
    DrawSleet,                 // e
    DrawFunnelCloud,           // f
    DrawGaleFlags,             // g
    DrawHamStore,              // h
    DrawPointOfInterest,       // i
    DrawWorkZone,              // j
    DrawSuv,                   // k
    DrawAreaLocations,         // l
    DrawMilePost,              // m
    DrawNumberedTriangle,      // n
    DrawSmallCircle,           // o
    DrawPartlyCloudy,          // p
    Unassigned<'q'>,           // q
    DrawRestrooms,             // r
    DrawNumberedShip,          // s
    DrawTornado,               // t
    DrawNumberedTruck,         // u
    DrawNumberedVan,           // v
    DrawFlooding,              // w
    DrawWreck,                 // x
    DrawSkywarn,               // y
    DrawShelter,               // z
    DrawFog,                   // {
    Unassigned<'|'>,           // |
    Unassigned<'}'>,           // }
    Unassigned<'~'>,           // ~
};

}  // namespace

SymbolDrawing FindSymbolDrawing(SymbolTable table, int index) {
  // The names decide which entries share the placeholder, so that a table
  // slot and its name cannot disagree.
  if (index < 0 || index >= kSymbolCount || IsPlaceholderSymbol(table, index)) {
    return DrawPlaceholder;
  }
  const Table& drawings = table == SymbolTable::Primary ? kPrimary : kAlternate;
  return drawings[static_cast<size_t>(index)];
}

}  // namespace vextune::ui::symbols
