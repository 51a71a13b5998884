# Writes the expected texts of export_formats_test.cpp from the format tables, for the
# small document that test builds (same features, waypoints and fake projection).
import math, time, os, sys
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
os.environ['TZ']='UTC'; time.tzset()
SH=(0.001,0.002)
def feat(t,name,pts,alts,colour=255,pattern=5,notes=None):
    return dict(type=t,name=name,wgs=pts,work=[(x+SH[0],y+SH[1]) for x,y in pts],alt=alts,colour=colour,pattern=pattern,notes=notes or ['']*len(pts))
F=[feat(3,'Road & <1>',[(-3.5,40.25),(-3.4,40.3),(-3.3,40.35)],[1000,1100,1200],colour=0x00123456),
   feat(5,'Lote',[(-3.0,40.0),(-2.9,40.0),(-2.9,40.1)],[0,100,200],colour=255,pattern=6),
   feat(51,'Pozo',[(1.0,2.0),(0.5,2.5),(1.5,1.5)],[500,500,500],colour=0xff0000),
   feat(52,'Trozo',[(-3.0,40.05)],[-250],colour=0,pattern=0,notes=['N1']),
   feat(5,'Vacío',[],[])]
W=[dict(name='Pozo 1',x=-3.249,y=40.502,alt=12345,stamp=0),
   dict(name='Casa',x=-3.1,y=40.4,alt=-50,stamp=1700000000)]
def date(w):
    if not w['stamp']: return ''
    t=time.localtime(w['stamp']); return '%02d/%02d/%d'%(t.tm_mday,t.tm_mon,t.tm_year)
def tim(w):
    if not w['stamp']: return ''
    t=time.localtime(w['stamp']); return '%02d:%02d:%02d'%(t.tm_hour,t.tm_min,t.tm_sec)
def outline(f):
    # degrees as metres
    d=math.hypot(f['work'][2][0]-f['work'][1][0], f['work'][2][1]-f['work'][1][1])
    r=d*0.35355339059327373
    cx,cy=f['wgs'][0]
    n=math.ceil(2*math.pi*r); step=1/r; pts=[]
    for i in range(n):
        a=i*step
        if a>=2*math.pi: break
        pts.append((cx+r*math.cos(a), cy+r*math.sin(a)))
    o=dict(f); o['wgs']=pts; o['work']=[(x+SH[0],y+SH[1]) for x,y in pts]; o['alt']=[f['alt'][0]]*len(pts); o['notes']=['']*len(pts)
    return o, r
def pts(f): return outline(f)[0] if f['type'] in (50,51) else f
def enc(s): return s.encode('cp1252')
out=[]
# geographic, choice 0
s='Datum,WGS 84\n'
for f in F:
    p=pts(f); s+=f['name']+'\n'
    for i,(x,y) in enumerate(p['wgs']): s+='WP,D,%d,%f,%f\n'%(i+1,y,x)
s+='WPT List\n'
for w in W: s+='WP,D,%s,%f,%f,%s,%s\n'%(w['name'],w['y']-SH[1],w['x']-SH[0],date(w),tim(w))
open(OUT + '/geo0.txt','wb').write(enc(s))
# geographic choice 1
s='Datum,Pulkovo ñ\n'
for f in F:
    p=pts(f); s+=f['name']+'\n'
    for i,(x,y) in enumerate(p['work']): s+='WP,D,%d,%f,%f\n'%(i+1,y,x)
s+='WPT List\n'
for w in W: s+='WP,D,%s,%f,%f,%s,%s\n'%(w['name'],w['y'],w['x'],date(w),tim(w))
open(OUT + '/geo1.txt','wb').write(enc(s))
# utm choice 1 zone 30
def proj(lon,lat,zone=30,north=True,choice=1): return zone*1e6+1000*lon+(0.5 if choice else 0), 1000*lat+(0 if north else 1e7)
s='Datum,Pulkovo ñ\n'
for f in F:
    p=pts(f)
    if not p['wgs']: continue
    s+=f['name']+'\n'
    for (x,y),a in zip(p['wgs'],p['alt']):
        e,n=proj(x,y); s+='%.2f,%.2f,%.2f\n'%(e,n,a*0.01)
s+='WPT List\n'
for w in W:
    e,n=proj(w['x']-SH[0],w['y']-SH[1]); s+='%.2f,%.2f,%.2f,%s,%s,%s\n'%(e,n,w['alt']*0.01,w['name'],date(w),tim(w))
open(OUT + '/utm1.txt','wb').write(enc(s))
# kml
def esc(t): return t.replace('&','&amp;').replace('<','&lt;').replace('>','&gt;').replace('"','&quot;').replace("'",'&apos;')
s='<?xml version="1.0" encoding="UTF-8"?>\n<kml xmlns="http://www.opengis.net/kml/2.2">\n<Document>\n<name>Tolvanix PDA</name>\n<Folder>\n<name>%s</name>\n<Folder>\n<name>Objects</name>\n<open>1</open>\n'%esc('/tmp/a&b.kml')
for f in F:
    p=pts(f)
    if not p['wgs']: continue
    c=f['colour']; col='b2%02x%02x%02x'%((c>>16)&255,(c>>8)&255,c&255)
    s+='<Placemark>\n<name>%s</name>\n<Style>\n'%esc(f['name'])
    line=f['type']==3
    if line: s+='<LineStyle>\n<color>%s</color>\n<width>2</width>\n</LineStyle>\n</Style>\n<LineString>\n'%col
    else:
        s+='<PolyStyle>\n<color>%s</color>\n'%col
        if f['pattern']==6: s+='<fill>0</fill>\n'
        s+='</PolyStyle>\n</Style>\n<Polygon>\n<tessellate>1</tessellate>\n<outerBoundaryIs>\n<LinearRing>\n'
    s+='<coordinates>\n'
    idx=list(range(len(p['wgs'])))+([] if line else [0])
    for i in idx: s+='%f,%f,%.2f\n'%(p['wgs'][i][0],p['wgs'][i][1],p['alt'][i]*0.01)
    s+='</coordinates>\n'
    s+='</LineString>\n' if line else '</LinearRing>\n</outerBoundaryIs>\n</Polygon>\n'
    s+='</Placemark>\n'
s+='</Folder>\n<Folder>\n<open>1</open>\n<name>WPT</name>\n'
for w in W:
    s+='<Placemark>\n<description>Altitude %.2f</description>\n<visibility>1</visibility>\n<name>%s</name>\n<Point>\n<coordinates>%f,%f,%.2f</coordinates>\n</Point>\n</Placemark>\n'%(w['alt']*0.01,esc(w['name']),w['x']-SH[0],w['y']-SH[1],w['alt']*0.01)
s+='</Folder>\n</Folder></Document></kml>\n'
open(OUT + '/doc.kml','wb').write(s.encode('utf-8'))
# dxf choice 1 zone 30 not flat
L=[]
def ln(*a): L.extend(a)
def pt(x,y,z,o=0,flat=False):
    c=[('10','20','30'),('11','21','31')][o]; ln(c[0],'%.3f'%x,c[1],'%.3f'%y,c[2],'0.0' if flat else '%.2f'%z)
def dxf(flat):
    L.clear()
    ln('999','DXF Release 12 created from Tolvanix PDA')
    for sec in ('HEADER','TABLES','BLOCKS'): ln('0','SECTION','2',sec,'0','ENDSEC')
    ln('0','SECTION','2','ENTITIES')
    for f in F:
        n=len(f['wgs'])
        if n==0: continue
        P=[proj(x,y)+(a*0.01,) for (x,y),a in zip(f['wgs'],f['alt'])]
        if f['type']==3:
            for i in range(1,n):
                ln('0','LINE','8','0'); pt(*P[i-1],flat=flat); pt(*P[i],o=1,flat=flat)
        elif f['type']==5:
            ln('0','POLYLINE','8','0','66','1','10','0','20','0','30','0','70','1' if flat else '8','0')
            for p in P:
                ln('VERTEX','8','0'); pt(*p,flat=flat)
                if not flat: ln('70','32')
                ln('0')
            ln('SEQEND','8','0')
        elif f['type'] in (50,51):
            r=outline(f)[1]
            ln('0','CIRCLE','8','0'); pt(*P[0],flat=flat); ln('40','%.3f'%r)
    WP=[]
    for w in W:
        p=proj(w['x']-SH[0],w['y']-SH[1])+(w['alt']*0.01,); WP.append(p)
        ln('0','POINT','8','0'); pt(*p,flat=flat)
    def text(layer,p,h,t): ln('0','TEXT','8',layer); pt(*p,flat=flat); ln('40',h,'1',t)
    for f in F:
        if f['type'] in (50,51): continue
        P=[proj(x,y)+(a*0.01,) for (x,y),a in zip(f['wgs'],f['alt'])]
        for p in P: text('HEIGHT',p,'0.5','%.2f'%p[2])
        for p,nt in zip(P,f['notes']): text('NOTES',p,'0.5',nt)
        for i,p in enumerate(P): text('NUMBERS',p,'0.3','%d'%(i+1))
    for w,p in zip(W,WP): text('WPT_NAME',p,'0.3',w['name'])
    ln('0','ENDSEC','0','EOF')
    return ''.join(x+'\n' for x in L)
open(OUT + '/doc.dxf','wb').write(enc(dxf(False)))
open(OUT + '/flat.dxf','wb').write(enc(dxf(True)))
# plt / trk for F2 (choice 0) and F3 circle (choice 1)
def plt(f,choice):
    p=pts(f); s='OziExplorer Track Point File Version 2.1\n'+('WGS 84\n' if choice==0 else 'Pulkovo ñ\n')+'Altitude is in Feet\nReserved 3\n'
    s+='0,2,%d,%s,1,'%(f['colour'],f['name'])+('10,' if f['type']==5 else '0,')+'6,%d\n'%f['colour']
    L=p['wgs'] if choice==0 else p['work']
    if L:
        s+='%d\n'%len(L)
        for i,((x,y),a) in enumerate(zip(L,p['alt'])): s+='%f,%f,%d,%f,,\n'%(y,x,1 if i==0 else 0,a*0.03280839895013123)
    return enc(s)
def trk(f,choice):
    p=pts(f); c=f['colour']
    s=('G  WGS 84\n' if choice==0 else 'G  Pulkovo ñ\n')+'U  1\n'+'C  %d %d %d 4 -1.000000\n'%(c&255,(c>>8)&255,(c>>16)&255)
    s+='V  0.0 0.0 0 0 0 0 0.0 -1.0 0\nE 1|1|00-NUL-00 00:00:00|00:00:00|0|6\nD  %s\ni I00\n'%f['name']
    b=enc(s)
    L=p['wgs'] if choice==0 else p['work']
    for (x,y),a in zip(L,p['alt']): b+=('T  A %f'%y).encode()+b'\xba'+('N %f'%x).encode()+b'\xba'+('E 00-NUL-00 00:00:00 s %f 0.0 0.0 0.0 0 -1000.0 -1.0 -1 -1.0 -1.0\n'%(a*0.01)).encode()
    return b
open(OUT + '/lote.plt','wb').write(plt(F[1],0)); open(OUT + '/pozo.plt','wb').write(plt(F[2],1))
open(OUT + '/lote.trk','wb').write(trk(F[1],0)); open(OUT + '/pozo.trk','wb').write(trk(F[2],1))
