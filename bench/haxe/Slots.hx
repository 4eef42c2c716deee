// Reads and writes of a sealed object's fields.
class Point3 {
    public var x:Float = 0;
    public var y:Float = 0;
    public var z:Int = 0;
    public function new() {}
}

class Slots {
    static function main() {
        var p = new Point3();
        for (i in 0...5000000) {
            p.x = p.y + 1;
            p.y = p.x * 0.5;
            p.z = p.z + 1;
        }
        Out.line(p.z + " " + p.y);
    }
}
