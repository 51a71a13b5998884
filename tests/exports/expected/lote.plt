OziExplorer Track Point File Version 2.1
WGS 84
Altitude is in Feet
Reserved 3
0,2,255,Lote,1,10,6,255
3
40.000000,-3.000000,1,0.000000,,
40.000000,-2.900000,0,3.280840,,
40.100000,-2.900000,0,6.561680,,
