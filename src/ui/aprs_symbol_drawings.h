#pragma once

// The drawing of every APRS symbol picture, grouped by kind; each draws on the
// 20 x 19 unit canvas of aprs_symbol_painting.h. The catalog maps the table
// entries to them.

#include <QPainter>

namespace vextune::ui::symbols {

/// Road, rail and snow vehicles (aprs_symbol_drawings_vehicles.cpp).
void DrawCar(QPainter& p);
void DrawNumberedCar(QPainter& p);
void DrawPoliceCar(QPainter& p);
void DrawMobileSatStation(QPainter& p);
void DrawJeep(QPainter& p);
void DrawSuv(QPainter& p);
void DrawVan(QPainter& p);
void DrawNumberedVan(QPainter& p);
void DrawAmbulance(QPainter& p);
void DrawBus(QPainter& p);
void DrawTruck(QPainter& p);
void DrawNumberedTruck(QPainter& p);
void DrawFireTruck(QPainter& p);
void DrawTruck18Wheels(QPainter& p);
void DrawRecVehicle(QPainter& p);
void DrawTractor(QPainter& p);
void DrawMotorcycle(QPainter& p);
void DrawBike(QPainter& p);
void DrawSnowMobile(QPainter& p);
void DrawRailEngine(QPainter& p);

/// Aircraft, boats and spacecraft (aprs_symbol_drawings_craft.cpp).
void DrawPlaneSmall(QPainter& p);
void DrawPlaneLarge(QPainter& p);
void DrawNumberedAircraft(QPainter& p);
void DrawGlider(QPainter& p);
void DrawHelicopter(QPainter& p);
void DrawBalloon(QPainter& p);
void DrawShuttle(QPainter& p);
void DrawSatellite(QPainter& p);
void DrawCanoe(QPainter& p);
void DrawYacht(QPainter& p);
void DrawPowerBoat(QPainter& p);
void DrawNumberedShip(QPainter& p);
void DrawCrashSite(QPainter& p);

/// Buildings, services and places (aprs_symbol_drawings_places.cpp).
void DrawHome(QPainter& p);
void DrawHouseHf(QPainter& p);
void DrawPoliceStation(QPainter& p);
void DrawFireStation(QPainter& p);
void DrawHospital(QPainter& p);
void DrawParking(QPainter& p);
void DrawInfoKiosk(QPainter& p);
void DrawRedCross(QPainter& p);
void DrawAidStation(QPainter& p);
void DrawHotel(QPainter& p);
void DrawSchool(QPainter& p);
void DrawChurch(QPainter& p);
void DrawBank(QPainter& p);
void DrawPowerPlant(QPainter& p);
void DrawLighthouse(QPainter& p);
void DrawHamStore(QPainter& p);
void DrawRestaurant(QPainter& p);
void DrawPetrolStation(QPainter& p);
void DrawTruckStop(QPainter& p);
void DrawWaterStation(QPainter& p);
void DrawCampground(QPainter& p);
void DrawParkPicnicArea(QPainter& p);
void DrawShelter(QPainter& p);
void DrawRestrooms(QPainter& p);
void DrawIotaIsland(QPainter& p);

/// Weather, weather stations and natural hazards (aprs_symbol_drawings_weather.cpp).
void DrawSunny(QPainter& p);
void DrawCloudy(QPainter& p);
void DrawPartlyCloudy(QPainter& p);
void DrawSnow(QPainter& p);
void DrawSnowBlowing(QPainter& p);
void DrawSnowShower(QPainter& p);
void DrawRainShower(QPainter& p);
void DrawDrizzle(QPainter& p);
void DrawFreezingRain(QPainter& p);
void DrawSleet(QPainter& p);
void DrawHail(QPainter& p);
void DrawFog(QPainter& p);
void DrawLightning(QPainter& p);
void DrawThunderstorm(QPainter& p);
void DrawHurricane(QPainter& p);
void DrawHurricaneFuture(QPainter& p);
void DrawTornado(QPainter& p);
void DrawFunnelCloud(QPainter& p);
void DrawWallCloud(QPainter& p);
void DrawDustBlowing(QPainter& p);
void DrawSmoke(QPainter& p);
void DrawFlooding(QPainter& p);
void DrawQuake(QPainter& p);
void DrawGaleFlag(QPainter& p);
void DrawGaleFlags(QPainter& p);
void DrawWxStation(QPainter& p);
void DrawNumberedWeatherSite(QPainter& p);
void DrawWxService(QPainter& p);
void DrawNumberedNwsSite(QPainter& p);
void DrawFire(QPainter& p);

/// Radio stations, antennas, computers and networks (aprs_symbol_drawings_radio.cpp).
void DrawDigi(QPainter& p);
void DrawNumberedStar(QPainter& p);
void DrawGateway(QPainter& p);
void DrawHfGateway(QPainter& p);
void DrawPhone(QPainter& p);
void DrawDxCluster(QPainter& p);
void DrawDxSpot(QPainter& p);
void DrawFileServer(QPainter& p);
void DrawBbs(QPainter& p);
void DrawXAprs(QPainter& p);
void DrawUserLogOn(QPainter& p);
void DrawMacAprs(QPainter& p);
void DrawWinAprs(QPainter& p);
void DrawLaptop(QPainter& p);
void DrawPbbs(QPainter& p);
void DrawTcpIp(QPainter& p);
void DrawNode(QPainter& p);
void DrawMicERepeater(QPainter& p);
void DrawAntenna(QPainter& p);
void DrawYagi(QPainter& p);
void DrawDishAntenna(QPainter& p);
void DrawSstv(QPainter& p);
void DrawAtv(QPainter& p);
void DrawNts(QPainter& p);
void DrawHandheldRadio(QPainter& p);
void DrawVortac(QPainter& p);
void DrawNavigationBuoy(QPainter& p);

/// People, animals and emblems (aprs_symbol_drawings_living.cpp).
void DrawWheelChair(QPainter& p);
void DrawJogger(QPainter& p);
void DrawBoyScout(QPainter& p);
void DrawGirlScout(QPainter& p);
void DrawHorse(QPainter& p);
void DrawRover(QPainter& p);
void DrawSkywarn(QPainter& p);
void DrawCoastGuard(QPainter& p);

/// Marks, shapes, lettered signs and unassigned codes (aprs_symbol_drawings_marks.cpp).
/// A numbered circle showing `digit` (0..9).
void DrawCircleDigit(QPainter& p, int digit);
void DrawRedDot(QPainter& p);
void DrawX(QPainter& p);
void DrawTriangle(QPainter& p);
void DrawNumberedTriangle(QPainter& p);
void DrawNumberedBox(QPainter& p);
void DrawNumberedCivilDefense(QPainter& p);
void DrawSmallCircle(QPainter& p);
void DrawLinkCircle(QPainter& p);
void DrawAmbiguous(QPainter& p);
void DrawEmergency(QPainter& p);
void DrawWreck(QPainter& p);
void DrawTbd(QPainter& p);
void DrawArrl(QPainter& p);
void DrawIcp(QPainter& p);
void DrawEoc(QPainter& p);
void DrawGridSquare(QPainter& p);
void DrawGridSquareAlternate(QPainter& p);
void DrawAreaLocations(QPainter& p);
void DrawMilePost(QPainter& p);
void DrawPointOfInterest(QPainter& p);
void DrawWorkZone(QPainter& p);
void DrawEyeball(QPainter& p);
/// A code with no picture of its own: a dashed frame around the code character.
void DrawUnassigned(QPainter& p, char code);
/// The picture all "No Symbol [n]" entries share.
void DrawPlaceholder(QPainter& p);

}  // namespace vextune::ui::symbols
